#include "shell/RecoveryKeeper.h"

#include <QStandardPaths>

#include "shell/MainWindow.h"

RecoveryKeeper::RecoveryKeeper(Form1& window, std::string folder) : window_(window), slot_(std::move(folder)) {
  for (QTimer* t : {&idle_, &throttle_}) {
    t->setSingleShot(true);
    QObject::connect(t, &QTimer::timeout, &window_, [this] { Follow(); });
  }
  idle_.setInterval(0);
}

RecoveryKeeper::~RecoveryKeeper() { Finish(); }

std::string RecoveryKeeper::DefaultFolder() {
  const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
  return data.isEmpty() ? std::string() : data.toStdString() + "/Quorvane/recovery";
}

bool RecoveryKeeper::FindLeftWork() {
  offerPending_ = slot_.ClaimLeftCopy();
  return offerPending_;
}

bool RecoveryKeeper::Offer() {
  if (!offerPending_) return false;
  DocumentImage image;
  std::string reason;
  const bool readable = slot_.ReadCopy(window_.mesh.ViewSize, image, reason);
  const bool recover = readable && window_.Ask().AskYesNo(Question) == Answer::Yes;
  offerPending_ = false;
  if (!recover) {
    slot_.RemoveCopy();
    if (!readable)
      window_.Ask().Message("The unsaved work of a session that ended abnormally could not be read (" + reason +
                            ") and has been removed.");
    return false;
  }
  AdoptRecoveredDocument(window_.documentContext, window_, window_.documentHooks, image);
  // The copy is written again as this window holds the document.
  Check();
  return true;
}

void RecoveryKeeper::Check() {
  if (!finished_ && !idle_.isActive()) idle_.start();
}

void RecoveryKeeper::Finish() {
  if (finished_) return;
  finished_ = true;
  idle_.stop();
  throttle_.stop();
  if (!offerPending_) slot_.Release();
}

void RecoveryKeeper::Follow() {
  if (offerPending_ || finished_) return;
  if (window_.doc.DocumentModified != 1) {
    // Saved, set aside or never changed: nothing to recover.
    throttle_.stop();
    slot_.RemoveCopy();
    return;
  }
  // In the middle of a command or a run the document is not whole: the end of
  // the command checks again.
  if (window_.Busy() || window_.cmd.Busy()) return;
  if (sinceWrite_.isValid() && sinceWrite_.elapsed() < WriteInterval) {
    if (!throttle_.isActive()) throttle_.start(static_cast<int>(WriteInterval - sinceWrite_.elapsed()));
    return;
  }
  WriteCopy();
}

void RecoveryKeeper::WriteCopy() {
  const DocumentImage image = CaptureForRecovery(window_.documentContext);
  std::string flags = EncodeFlagFile(image), data = EncodeDataFile(image);
  if (slot_.HasCopy() && flags == lastFlags_ && data == lastData_ && image.Title == lastTitle_) return;
  sinceWrite_.start();
  std::string reason;
  if (!slot_.Write(image, reason)) {
    // Said once: the work itself goes on, only its safety net is missing.
    if (!failureReported_)
      window_.Ask().Message("Unsaved work cannot be kept for recovery after a crash (" + reason + ").");
    failureReported_ = true;
    return;
  }
  lastFlags_ = std::move(flags);
  lastData_ = std::move(data);
  lastTitle_ = image.Title;
  ++copiesWritten_;
}
