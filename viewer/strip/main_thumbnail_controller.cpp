#include "viewer/strip/main_thumbnail_controller.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>
#include <QPointer>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <span>

#include "model/utilities.h"
#include "platform/dispatch.h"
#include "platform/notification_center.h"
#include "ptp/base/filetypes.h"
#include "ptp/cache/cache.h"
#include "share/share_events.h"
#include "viewer/still/display_first.h"
#include "viewer/strip/thumbnail_matching.h"

namespace {

// How long the strip's own thumbnail of a whole image waits for the pane's decode: about
// the decode of a large photograph, so a burst still gets its thumbnails.
constexpr std::chrono::milliseconds kDisplayFirstWait{250};

struct Header {
  QSize size;
  QByteArray format;
};

// The header's size and format, without decoding; invalid when the bytes are no readable
// image or claim more pixels than the strip takes.
Header readHeader(const QByteArray& bytes) {
  QBuffer buffer;
  buffer.setData(bytes);
  buffer.open(QIODevice::ReadOnly);
  QImageReader reader(&buffer);
  if (!reader.canRead()) return {};
  const QSize size = reader.size();
  if (!size.isValid() || size.isEmpty() ||
      static_cast<qint64>(size.width()) * size.height() > kStripThumbnailMaxPixels)
    return {};
  return {size, reader.format()};
}

QSize headerSize(const QByteArray& bytes) { return readHeader(bytes).size; }

// Decodes scaled to fit; JPEG decoders scale while decoding, so a large picture costs a
// fraction of its full decode.
QImage decodeScaled(const QByteArray& bytes, QSize fit) {
  QBuffer buffer;
  buffer.setData(bytes);
  buffer.open(QIODevice::ReadOnly);
  QImageReader reader(&buffer);
  const QSize size = reader.size();
  if (!size.isValid() || static_cast<qint64>(size.width()) * size.height() > kStripThumbnailMaxPixels) return {};
  if (size.width() > fit.width() || size.height() > fit.height())
    reader.setScaledSize(size.scaled(fit, Qt::KeepAspectRatio).expandedTo(QSize(1, 1)));
  return reader.read();
}

// The picture's area of a cell in device pixels.
QSize devicePictureSize(qreal scale) {
  const QSize points = ThumbnailViewCell::cellSize() - QSize(10, 10);
  return {static_cast<int>(std::ceil(points.width() * scale)), static_cast<int>(std::ceil(points.height() * scale))};
}

// What an item keeps: the picture at most `fit` large as a JPEG of at most
// kStripThumbnailMaxBytes; empty when the bytes do not decode.
QByteArray smallThumbnail(const QByteArray& bytes, QSize fit) {
  const QImage image = decodeScaled(bytes, fit);
  if (image.isNull()) return {};
  for (int quality : {85, 70, 50, 30, 10}) {
    QByteArray out;
    QBuffer buffer(&out);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(quality);
    if (!writer.write(image)) return {};
    if (out.size() <= kStripThumbnailMaxBytes) return out;
  }
  return {};
}

}  // namespace

bool ThumbnailRating::matchesObject(const PtpObjectInfoStruct* record) const {
  return record && thumbnailMatchesByWanted(*record, object);
}

MainThumbnailController::MainThumbnailController(QListView* collectionView) : mCollectionView(collectionView) {
  if (mCollectionView) {
    mCollectionView->setModel(this);
    mCollectionView->setItemDelegate(new ThumbnailItemDelegate(this));
    mCollectionView->setViewMode(QListView::IconMode);
    mCollectionView->setFlow(QListView::LeftToRight);
    mCollectionView->setWrapping(false);
    mCollectionView->setUniformItemSizes(true);
    mCollectionView->setSelectionMode(QAbstractItemView::NoSelection);
    mCollectionView->setMovement(QListView::Static);
    mCollectionView->setMouseTracking(false);
    connect(mCollectionView, &QListView::clicked, this, [this](const QModelIndex& index) { itemClicked(index.row()); });
    connect(mCollectionView, &QListView::doubleClicked, this,
            [this](const QModelIndex& index) { emit collectionItemViewDoubleClick(index.row()); });
  }
  observeShowNextImage(this, [this] { selectNextThumbnail(); });
  observeShowPreviousImage(this, [this] { selectPreviousThumbnail(); });
}

MainThumbnailController::~MainThumbnailController() {
  NotificationCenter::defaultCenter().removeObserver(this);
  // The view may outlive its controller: it must not paint through a delegate that is gone.
  if (mCollectionView) {
    mCollectionView->setItemDelegate(nullptr);
    mCollectionView->setModel(nullptr);
  }
}

void MainThumbnailController::addThumnailImage(const QByteArray& data, std::shared_ptr<PtpObjectInfoClass> info) {
  if (!Dispatch::isMainThread()) {
    QPointer<MainThumbnailController> self(this);
    Dispatch::main([self, data, info] {
      if (self) self->addOnMain(data, info);
    });
    return;
  }
  addOnMain(data, std::move(info));
}

void MainThumbnailController::addOnMain(const QByteArray& data, std::shared_ptr<PtpObjectInfoClass> info) {
  if (data.isEmpty() || !info) return;
  const Header header = readHeader(data);
  if (!header.size.isValid()) return;
  const int row = count();
  beginInsertRows(QModelIndex(), row, row);
  Item item;
  item.id = nextId_++;
  item.bytes = data;
  item.size = header.size;
  item.scale = deviceScale();
  item.info = std::move(info);
  const QSize fit = devicePictureSize(item.scale);
  // A JPEG already no larger than the cell and the cap is kept as it came.
  item.preparing = header.format != "jpeg" || header.size.width() > fit.width() ||
                   header.size.height() > fit.height() || data.size() > kStripThumbnailMaxBytes;
  if (item.preparing) {
    QPointer<MainThumbnailController> self(this);
    Dispatch::global([self, id = item.id, data, fit] {
      QByteArray small = smallThumbnail(data, fit);
      Dispatch::main([self, id, small = std::move(small)]() mutable {
        if (self) self->prepareFinished(id, std::move(small));
      });
    });
  }
  mThumbnails.push_back(std::move(item));
  endInsertRows();
  if (mCollectionView) mCollectionView->scrollTo(index(row), QAbstractItemView::EnsureVisible);
}

void MainThumbnailController::prepareFinished(uint64_t id, QByteArray small) {
  const int row = rowForId(id);
  if (row < 0) return;
  Item& item = mThumbnails[row];
  item.preparing = false;
  // What arrived goes either way: an item never keeps more than its small thumbnail.
  item.bytes = std::move(small);
  if (item.bytes.isEmpty()) {
    item.failed = true;
    item.decoded = QImage();
    std::erase(decodedOrder_, id);
    emit dataChanged(index(row), index(row));
  }
}

qreal MainThumbnailController::deviceScale() const {
  const auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
  qreal scale = app ? app->devicePixelRatio() : 1.0;
  if (mCollectionView) scale = std::max(scale, mCollectionView->devicePixelRatioF());
  return std::clamp<qreal>(scale, 1, kStripMaxDeviceScale);
}

void MainThumbnailController::deleteThumbnail(const PtpObjectInfoStruct* record) {
  if (!record || !Dispatch::isMainThread()) return;
  for (int row = 0; row < count(); ++row) {
    if (!thumbnailMatchesForDelete(*mThumbnails[row].info->origObjectInfo(), *record)) continue;
    beginRemoveRows(QModelIndex(), row, row);
    std::erase(decodedOrder_, mThumbnails[row].id);
    mThumbnails.erase(mThumbnails.begin() + row);
    endRemoveRows();
    // The controller's selection names a row number: it is cleared when that row went, and
    // follows its item when an earlier one went.
    if (mSelectedIndex == row) mSelectedIndex = -1;
    else if (mSelectedIndex > row) --mSelectedIndex;
    return;
  }
}

void MainThumbnailController::selectThumnailForImageData(std::shared_ptr<PtpImageData> imageData) {
  if (!imageData) return;
  if (!Dispatch::isMainThread()) {
    QPointer<MainThumbnailController> self(this);
    Dispatch::main([self, imageData] {
      if (self) self->ptpObjectDownloaded(imageData);
    });
    return;
  }
  ptpObjectDownloaded(std::move(imageData));
}

bool MainThumbnailController::selectThumbnailNoAction(const PtpObjectInfoClass* info) {
  if (!info || mThumbnails.empty()) return false;
  for (int row = 0; row < count(); ++row) {
    if (!thumbnailMatchesByItem(*mThumbnails[row].info->origObjectInfo(), *info->origObjectInfo())) continue;
    selectRow(row, true);
    return true;
  }
  return false;
}

bool MainThumbnailController::selectThumbnail(const PtpObjectInfoClass* info) {
  if (!Dispatch::isMainThread()) {
    bool result = false;
    Dispatch::mainSync([&] { result = selectThumbnail(info); });
    return result;
  }
  if (!info) return false;
  for (int row = 0; row < count(); ++row) {
    if (!thumbnailMatchesByWanted(*mThumbnails[row].info->origObjectInfo(), *info->origObjectInfo())) continue;
    if (mCollectionView) mCollectionView->scrollTo(index(row));
    didSelect(row);
    return true;
  }
  return false;
}

void MainThumbnailController::selectNextThumbnail() {
  if (!mCollectionView || !mCollectionView->isVisible() || mSelectedIndex < 0) return;
  if (mSelectedIndex < count() - 1) {
    const int row = mSelectedIndex + 1;
    mCollectionView->scrollTo(index(row));
    didSelect(row);
  }
}

void MainThumbnailController::selectPreviousThumbnail() {
  if (!mCollectionView || !mCollectionView->isVisible() || mSelectedIndex < 0) return;
  if (mSelectedIndex >= 1) {
    const int row = mSelectedIndex - 1;
    mCollectionView->scrollTo(index(row));
    didSelect(row);
  }
}

void MainThumbnailController::deselectCurrentThumbnail() {
  if (mSelectedIndex < 0) return;
  const int row = mSelectedIndex;
  mSelectedIndex = -1;
  if (row < count()) emit dataChanged(index(row), index(row));
}

void MainThumbnailController::clearSelection() { deselectCurrentThumbnail(); }

void MainThumbnailController::setRating(const ThumbnailRating& rating) {
  for (int row = 0; row < count(); ++row) {
    if (!rating.matchesObject(mThumbnails[row].info->origObjectInfo())) continue;
    mThumbnails[row].rating = rating.rating;
    emit dataChanged(index(row), index(row));
    return;
  }
}

void MainThumbnailController::itemClicked(int row) {
  if (row < 0 || row >= count()) return;
  // A click on the selected item deselects it and downloads nothing.
  if (row == mSelectedIndex) {
    deselectCurrentThumbnail();
    return;
  }
  didSelect(row);
}

void MainThumbnailController::selectRow(int row, bool scrollCentred) {
  const int previous = mSelectedIndex;
  mSelectedIndex = row;
  if (previous >= 0 && previous < count()) emit dataChanged(index(previous), index(previous));
  emit dataChanged(index(row), index(row));
  if (mCollectionView)
    mCollectionView->scrollTo(index(row), scrollCentred ? QAbstractItemView::PositionAtCenter
                                                        : QAbstractItemView::EnsureVisible);
}

void MainThumbnailController::didSelect(int row) {
  selectRow(row, false);
  if (delegate_ && row >= 0 && row < count()) delegate_->thumbnailSelected(mThumbnails[row].info);
}

QByteArray MainThumbnailController::thumbnailForImage(const QByteArray& data, const PtpObjectInfoStruct& record) {
  const std::span<const uint8_t> bytes(reinterpret_cast<const uint8_t*>(data.constData()),
                                       static_cast<size_t>(data.size()));
  std::vector<uint8_t> preview;
  uint8_t orientation = 0;
  QByteArray thumb;
  if (fileExtractRawPreview(bytes, &orientation, preview) > 0 && !preview.empty()) {
    thumb = QByteArray(reinterpret_cast<const char*>(preview.data()), static_cast<qsizetype>(preview.size()));
    // A raw's preview that can't be read is no thumbnail; others keep what was found.
    if (fileFormatIsRaw(record.objectFormat) && !headerSize(thumb).isValid()) thumb.clear();
  }
  if (thumb.isEmpty()) {
    // A whole decode of the same bytes the pane may be decoding for display right now:
    // the picture on screen comes first.
    DisplayFirst::waitForDisplay(kDisplayFirstWait);
    thumb = Utilities::thumbnailWithData(data, 240);
  }
  return thumb;
}

void MainThumbnailController::ptpObjectDownloaded(std::shared_ptr<PtpImageData> imageData) {
  if (!imageData || !imageData->getObjectInfo()) return;
  deselectCurrentThumbnail();
  const auto info = imageData->getObjectInfo();
  if (selectThumbnailNoAction(info.get())) return;
  // Already on its way: it is selected when it arrives rather than made twice.
  for (const auto& pending : downloads_) {
    if (!thumbnailMatchesByItem(*pending->info->origObjectInfo(), *info->origObjectInfo())) continue;
    ++pending->repeats;
    return;
  }
  auto download = std::make_shared<Download>();
  download->info = info;
  downloads_.push_back(download);
  QPointer<MainThumbnailController> self(this);
  Dispatch::global([self, download, imageData] {
    const PtpObjectInfoStruct& record = *download->info->origObjectInfo();
    QByteArray thumb = thumbnailForImage(imageData->getImageData(), record);
    if (!thumb.isEmpty())
      cacheStoreThumb(record, std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(thumb.constData()),
                                                       static_cast<size_t>(thumb.size())));
    download->thumb = std::move(thumb);
    download->done.store(true, std::memory_order_release);
    Dispatch::main([self] {
      if (self) self->deliverDownloads();
    });
  });
}

void MainThumbnailController::deliverDownloads() {
  // In request order: a later image that was quicker waits for the ones before it.
  while (!downloads_.empty() && downloads_.front()->done.load(std::memory_order_acquire)) {
    const std::shared_ptr<Download> download = std::move(downloads_.front());
    downloads_.pop_front();
    if (!download->thumb.isEmpty())
      postShareThumbnailDownloaded({PtpImageData::initWithObjectData(download->thumb, download->info)});
    if (download->repeats > 0) {
      deselectCurrentThumbnail();
      selectThumbnailNoAction(download->info.get());
    }
  }
}

std::shared_ptr<PtpObjectInfoClass> MainThumbnailController::objectInfoAt(int row) const {
  return row >= 0 && row < count() ? mThumbnails[row].info : nullptr;
}

uint8_t MainThumbnailController::ratingAt(int row) const {
  return row >= 0 && row < count() ? mThumbnails[row].rating : 0;
}

QByteArray MainThumbnailController::thumbnailBytesAt(int row) const {
  return row >= 0 && row < count() ? mThumbnails[row].bytes : QByteArray();
}

bool MainThumbnailController::isPreparing(int row) const {
  return row >= 0 && row < count() && mThumbnails[row].preparing;
}

bool MainThumbnailController::isDecoded(int row) const {
  return row >= 0 && row < count() && !mThumbnails[row].decoded.isNull();
}

int MainThumbnailController::rowForId(uint64_t id) const {
  const auto found = std::lower_bound(mThumbnails.begin(), mThumbnails.end(), id,
                                      [](const Item& item, uint64_t wanted) { return item.id < wanted; });
  return found != mThumbnails.end() && found->id == id ? static_cast<int>(found - mThumbnails.begin()) : -1;
}

void MainThumbnailController::requestDecode(Item& item) {
  if (item.decoding || item.failed || !item.decoded.isNull() || item.bytes.isEmpty()) return;
  item.decoding = true;
  QPointer<MainThumbnailController> self(this);
  const QByteArray bytes = item.bytes;
  const uint64_t id = item.id;
  const qreal scale = item.scale;
  Dispatch::global([self, bytes, id, scale] {
    QImage image = decodeScaled(bytes, devicePictureSize(scale));
    image.setDevicePixelRatio(scale);
    Dispatch::main([self, id, image = std::move(image)]() mutable {
      if (self) self->decodeFinished(id, std::move(image));
    });
  });
}

void MainThumbnailController::decodeFinished(uint64_t id, QImage image) {
  const int row = rowForId(id);
  if (row < 0) return;
  Item& item = mThumbnails[row];
  item.decoding = false;
  if (image.isNull()) {
    item.failed = true;
  } else {
    item.decoded = std::move(image);
    decodedOrder_.push_back(id);
    while (decodedOrder_.size() > kStripDecodedMax) {
      const int old = rowForId(decodedOrder_.front());
      decodedOrder_.pop_front();
      if (old >= 0) mThumbnails[old].decoded = QImage();
    }
  }
  emit dataChanged(index(row), index(row));
}

void MainThumbnailController::cellForRow(int row, ThumbnailViewCell& cell) {
  if (row < 0 || row >= count()) return;
  Item& item = mThumbnails[row];
  requestDecode(item);
  const PtpObjectInfoStruct& record = *item.info->origObjectInfo();
  cell.thumbnailImage = item.decoded;
  cell.imageSize = item.size;
  cell.decodeFailed = item.failed;
  cell.orientation = item.info->orientation();
  cell.showFilename = true;
  cell.fileName = item.info->fileName();
  cell.badge = thumbnailBadgeFor(record);
  cell.rating = item.rating;
  cell.selected = row == mSelectedIndex;
}

int MainThumbnailController::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : count(); }

QVariant MainThumbnailController::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= count()) return {};
  if (role == Qt::DisplayRole || role == Qt::ToolTipRole) return mThumbnails[index.row()].info->fileName();
  return {};
}

void ThumbnailItemDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                  const QModelIndex& index) const {
  ThumbnailViewCell cell;
  controller_->cellForRow(index.row(), cell);
  cell.paint(*painter, option.rect);
}

QSize ThumbnailItemDelegate::sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const {
  return ThumbnailViewCell::cellSize();
}
