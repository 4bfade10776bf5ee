#pragma once
// The thumbnail strip's data source and delegate. Each item keeps a small JPEG of its
// picture, made on the pool at the cell's size in device pixels and capped in bytes, and
// the size from the original's header; pictures are decoded on the pool when an item is
// first painted and at most kStripDecodedMax stay decoded, so a strip of thousands
// neither fills memory nor decodes on the GUI thread. Whole images from downloads are
// turned into thumbnails on the pool too, and their results come back in request order.
#include <QAbstractListModel>
#include <QByteArray>
#include <QImage>
#include <QListView>
#include <QPointer>
#include <QStyledItemDelegate>

#include <atomic>
#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

#include "model/object_info_wrapper.h"
#include "viewer/strip/thumbnail_badge.h"
#include "viewer/strip/thumbnail_view_cell.h"

// Pictures kept decoded at once; the oldest are dropped and decoded again when shown.
constexpr size_t kStripDecodedMax = 64;
// Thumbnails whose header claims more pixels than this are refused.
constexpr qint64 kStripThumbnailMaxPixels = 40'000'000;
// The most bytes an item's stored thumbnail may take; the JPEG quality drops until it fits.
constexpr qsizetype kStripThumbnailMaxBytes = 128 * 1024;
// Screens beyond this many device pixels per point get thumbnails made for this many.
constexpr qreal kStripMaxDeviceScale = 4;

class ThumbnailControllerDelegate {
 public:
  virtual ~ThumbnailControllerDelegate() = default;
  virtual void thumbnailSelected(std::shared_ptr<PtpObjectInfoClass> objectInfo) = 0;
};

// The rating a RatingUpdatedEvent carries, as the strip matches it to its items.
struct ThumbnailRating {
  PtpObjectInfoStruct object{};
  uint8_t rating = 0;
  bool matchesObject(const PtpObjectInfoStruct* record) const;
};

class MainThumbnailController : public QAbstractListModel {
  Q_OBJECT
 public:
  // Takes over the view as its strip: single selection, this controller as its model and
  // its cells painted by the strip's delegate. Observes the next/previous-image posts.
  explicit MainThumbnailController(QListView* collectionView);
  ~MainThumbnailController() override;

  // Any thread (queued to the GUI thread). Bytes whose header is no image are dropped.
  void addThumnailImage(const QByteArray& data, std::shared_ptr<PtpObjectInfoClass> info);
  // GUI thread only; elsewhere nothing happens.
  void deleteThumbnail(const PtpObjectInfoStruct* record);
  // Any thread (queued): selects the object's item, or makes it a thumbnail.
  void selectThumnailForImageData(std::shared_ptr<PtpImageData> imageData);
  bool selectThumbnailNoAction(const PtpObjectInfoClass* info);
  // Any thread (waits for the GUI thread); tells the delegate.
  bool selectThumbnail(const PtpObjectInfoClass* info);
  void selectNextThumbnail();
  void selectPreviousThumbnail();
  void deselectCurrentThumbnail();
  void clearSelection();
  void setRating(const ThumbnailRating& rating);

  // Not retained: the delegate outlives the controller or clears itself.
  void setDelegate(ThumbnailControllerDelegate* delegate) { delegate_ = delegate; }
  ThumbnailControllerDelegate* delegate() const { return delegate_; }

  // A whole image shown in the still pane: its thumbnail is selected, or one is made from
  // it, stored in the cache and posted by postShareThumbnailDownloaded().
  void ptpObjectDownloaded(std::shared_ptr<PtpImageData> imageData);
  // The thumbnail bytes made for a whole image: its usable embedded preview, else a
  // 240-pixel thumbnail of the image; empty when neither can be made.
  static QByteArray thumbnailForImage(const QByteArray& data, const PtpObjectInfoStruct& record);

  // Clicks, as the view's cell would take them: one click toggles, two ask to open.
  void itemClicked(int row);

  // The strip's state, for the window and for tests.
  int count() const { return static_cast<int>(mThumbnails.size()); }
  int selectedIndex() const { return mSelectedIndex; }
  std::shared_ptr<PtpObjectInfoClass> objectInfoAt(int row) const;
  uint8_t ratingAt(int row) const;
  // The bytes an item keeps, and whether its small thumbnail is still being made.
  QByteArray thumbnailBytesAt(int row) const;
  bool isPreparing(int row) const;
  // Downloads whose thumbnail is being made.
  size_t downloadsPending() const { return downloads_.size(); }
  // Device pixels per point the thumbnails are made for: the sharpest screen's, or the
  // strip's own when it is sharper.
  qreal deviceScale() const;
  bool isDecoded(int row) const;
  size_t decodedCount() const { return decodedOrder_.size(); }
  QListView* collectionView() const { return mCollectionView; }

  // The cell of a row as it would be painted now; asks for the decode when it is missing.
  void cellForRow(int row, ThumbnailViewCell& cell);

  // QAbstractListModel
  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;

 signals:
  void collectionItemViewDoubleClick(int row);

 private:
  struct Item {
    uint64_t id = 0;
    QByteArray bytes;  // the small thumbnail, or what arrived while it is being made
    QSize size;        // the original's, from its header
    qreal scale = 1;   // device pixels per point the item is decoded for
    std::shared_ptr<PtpObjectInfoClass> info;
    uint8_t rating = 0;
    QImage decoded;
    bool preparing = false;
    bool decoding = false;
    bool failed = false;
  };
  // A whole image whose thumbnail is being made. The worker writes `thumb` and then sets
  // `done`; the GUI thread reads it only after seeing `done`.
  struct Download {
    std::shared_ptr<PtpObjectInfoClass> info;
    QByteArray thumb;
    std::atomic<bool> done{false};
    int repeats = 0;  // the same object asked for again while this one was on its way
  };

  void addOnMain(const QByteArray& data, std::shared_ptr<PtpObjectInfoClass> info);
  void didSelect(int row);
  void selectRow(int row, bool scrollCentred);
  void requestDecode(Item& item);
  void decodeFinished(uint64_t id, QImage image);
  void prepareFinished(uint64_t id, QByteArray small);
  void deliverDownloads();
  int rowForId(uint64_t id) const;

  QPointer<QListView> mCollectionView;
  std::vector<Item> mThumbnails;  // ids ascend with the rows
  int mSelectedIndex = -1;
  ThumbnailControllerDelegate* delegate_ = nullptr;
  uint64_t nextId_ = 1;
  std::deque<uint64_t> decodedOrder_;
  std::deque<std::shared_ptr<Download>> downloads_;  // in request order
};

// Paints the controller's cells into its view.
class ThumbnailItemDelegate : public QStyledItemDelegate {
 public:
  explicit ThumbnailItemDelegate(MainThumbnailController* controller)
      : QStyledItemDelegate(controller), controller_(controller) {}
  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

 private:
  MainThumbnailController* controller_;
};
