// Well-known folders.
#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include "platform/paths.h"

TEST(Paths, DocumentsFolderIsCreatedWhenMissing) {
  QTemporaryDir dir;
  QString wanted = dir.filePath("nested/Documents");
  Paths::setDocumentsDirectory(wanted);
  QString got = Paths::documentsDirectory();
  Paths::setDocumentsDirectory(QString());
  EXPECT_EQ(got, wanted);
  EXPECT_TRUE(QFileInfo(wanted).isDir());
}

TEST(Paths, SystemDocumentsFolderLiesUnderTheTemporaryHome) {
  Paths::setDocumentsDirectory(QString());
  QString got = Paths::documentsDirectory();
  ASSERT_FALSE(got.isEmpty());
  EXPECT_TRUE(got.startsWith(QDir::cleanPath(qEnvironmentVariable("HOME")))) << got.toStdString();
  EXPECT_TRUE(QFileInfo(got).isDir());
}

TEST(Paths, UncreatableFolderGivesAnEmptyPath) {
  QTemporaryDir dir;
  QFile blocker(dir.filePath("file"));
  ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
  blocker.close();
  Paths::setDocumentsDirectory(dir.filePath("file/Documents"));
  QString got = Paths::documentsDirectory();
  Paths::setDocumentsDirectory(QString());
  EXPECT_TRUE(got.isEmpty());
}
