// Bundled resources and the string table.
#include <gtest/gtest.h>

#include <QFile>

#include "platform/bundle.h"

TEST(Bundle, MissingKeyGivesTheKeyOrTheGivenValue) {
  EXPECT_EQ(Bundle::localizedString("No_Such_Key_In_The_Table"), QStringLiteral("No_Such_Key_In_The_Table"));
  EXPECT_EQ(Bundle::localizedString("No_Such_Key_In_The_Table", "fallback"), QStringLiteral("fallback"));
  EXPECT_EQ(Bundle::localizedString(QString()), QString());
}

TEST(Bundle, KnownKeysGiveTheirText) {
  EXPECT_EQ(Bundle::localizedString("PTP_Response_OK"), QStringLiteral("OK."));
  EXPECT_EQ(Bundle::localizedString("PTP_Response_OK", "ignored"), QStringLiteral("OK."));
  EXPECT_EQ(Bundle::localizedString("CANON_Response_Battery_Low"), QStringLiteral("The camera battery is low."));
}

// Every standard PTP response has its text; a typo in the table would show the raw key.
TEST(Bundle, StringTableCoversTheStandardResponses) {
  const char* names[] = {"Undefined", "OK", "GeneralError", "SessionNotOpen", "InvalidTransactionID",
                         "OperationNotSupported", "ParameterNotSupported", "IncompleteTransfer",
                         "InvalidStorageId", "InvalidObjectHandle", "DevicePropNotSupported",
                         "InvalidObjectFormatCode", "StoreFull", "ObjectWriteProtected", "StoreReadOnly",
                         "AccessDenied", "NoThumbnailPresent", "SelfTestFailed", "PartialDeletion",
                         "StoreNotAvailable", "SpecificationByFormatUnsupported", "NoValidObjectInfo",
                         "InvalidCodeFormat", "UnknownVendorCode", "CaptureAlreadyTerminated", "DeviceBusy",
                         "InvalidParentObject", "InvalidDevicePropFormat", "InvalidDevicePropValue",
                         "InvalidParameter", "SessionAlreadyOpened", "TransactionCanceled",
                         "SpecificationOfDestinationUnsupported"};
  EXPECT_EQ(std::size(names), 0x21u);
  for (const char* name : names) {
    QString key = QStringLiteral("PTP_Response_") + name;
    QString text = Bundle::localizedString(key);
    EXPECT_NE(text, key) << name;
    EXPECT_FALSE(text.isEmpty()) << name;
  }
  EXPECT_GE(Bundle::localizedStringCount(), 0x21);
}

TEST(Bundle, ResourcesAreFoundByNameAndType) {
  QString path = Bundle::pathForResource("DefaultValues", "plist");
  ASSERT_FALSE(path.isEmpty());
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_TRUE(file.readAll().contains("<plist"));
  EXPECT_TRUE(Bundle::pathForResource("DefaultValues", "json").isNull());
  EXPECT_TRUE(Bundle::pathForResource("Missing", "plist").isNull());
}
