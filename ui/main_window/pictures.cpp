// Pictures of the document windows: Save as Image (JPEG, quality 80), Print, and Load Image,
// which hands a JPEG to the external viewer or shows it in a window of its own.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QScrollArea>

#include "ui/editor/editor_window.h"
#include "ui/main_window/main_window.h"
#include "ui/main_window/start_dialog.h"
#include "ui/platform/jpeg_image.h"
#include "ui/platform/local_names.h"

namespace tarvolin::ui {

namespace {

constexpr const char* kViewerProgram = "Imagist.exe";
const QString kImageFilter = QStringLiteral("JPG File (*.JPG *.jpg)");

// A JPEG shown in a document window of its own, where the external viewer is not installed.
class PictureChild : public QScrollArea {
 public:
  PictureChild(const QImage& image, const QString& name) {
    auto* label = new QLabel;
    label->setPixmap(QPixmap::fromImage(image));
    setWidget(label);
    setWindowTitle(name);
  }
  QSize minimumSizeHint() const override { return {200, 150}; }
};

}  // namespace

bool viewerShouldStart(const QString& imagePath, const QString& folder) {
  return QFileInfo::exists(imagePath) && upperExtension(imagePath) == QStringLiteral(".JPG") &&
         QFileInfo::exists(QDir(folder).filePath(QString::fromLatin1(kViewerProgram)));
}

QString viewerCommandLine(const QString& imagePath) {
  return QString::fromLatin1(kViewerProgram) + QStringLiteral(" \"") + imagePath +
         QStringLiteral("\" jpg");
}

void MainWindow::saveAsImageCommand() {
  if (!activeChildWidget()) return;
  QString proposed = startDialog_->outputName();
  const QFileInfo output(proposed);
  proposed = output.suffix().isEmpty()
                 ? proposed + QStringLiteral(".JPG")
                 : proposed.left(proposed.size() - output.suffix().size()) + QStringLiteral("JPG");
  const QString path = chooseFile(QStringLiteral("Save Image"),
                                  QDir(workFolder_).filePath(proposed), kImageFilter, true);
  if (!path.isEmpty()) saveActiveChildImage(path);
}

bool MainWindow::saveActiveChildImage(const QString& path) {
  QWidget* child = activeChildWidget();
  if (!child) return false;
  if (QFileInfo::exists(path) && message(MessageKind::Confirmation, QStringLiteral("Confirm"),
                                         QStringLiteral("OK to overwrite %1").arg(path),
                                         MessageButtons::YesNoCancel) != MessageResult::Yes)
    return false;
  const QImage picture = child->grab().toImage();
  if (!writeJpegFile(picture, path, kWindowImageQuality)) {
    message(MessageKind::Error, QStringLiteral("Save Image"),
            QStringLiteral("Cannot create file '%1'").arg(path), MessageButtons::Ok);
    return false;
  }
  return true;
}

// An editor prints its text, as its own Print does; any other window its picture.
void MainWindow::printCommand() {
  if (auto* editor = qobject_cast<EditorWindow*>(activeChildWidget())) {
    editor->print();
    return;
  }
  if (!activeChildWidget()) return;
  QPrinter printer(QPrinter::HighResolution);
  QPrintDialog dialog(&printer, this);
  if (dialog.exec() == QDialog::Accepted) printActiveChild(printer);
}

// The window's picture, scaled to fill the printable area with its proportions kept.
bool MainWindow::printActiveChild(QPrinter& printer) {
  QWidget* child = activeChildWidget();
  if (!child) return false;
  const QPixmap picture = child->grab();
  QPainter painter;
  if (!painter.begin(&printer)) return false;
  const QRect page = painter.viewport();
  QSize size = picture.size();
  size.scale(page.size(), Qt::KeepAspectRatio);
  painter.drawPixmap(QRect(page.topLeft(), size), picture);
  return painter.end();
}

void MainWindow::loadImageCommand() {
  const QString path =
      chooseFile(QStringLiteral("Load JPG Image"), workFolder_, kImageFilter, false);
  if (!path.isEmpty()) loadImage(path);
}

void MainWindow::loadImage(const QString& path) {
  const QString folder = QDir::currentPath();
  if (viewerShouldStart(path, folder)) {
    // Imagist.exe "file" jpg, started from the current folder.
    startProgram_(QDir(folder).filePath(QString::fromLatin1(kViewerProgram)),
                  {path, QStringLiteral("jpg")});
    return;
  }
  // Without the external viewer, the picture is shown in a document window of our own.
  if (!QFileInfo::exists(path) || upperExtension(path) != QStringLiteral(".JPG")) return;
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return;
  const QImage image = decodeJpeg(file.readAll());
  if (image.isNull()) {
    message(MessageKind::Error, QStringLiteral("Load JPG Image"),
            QStringLiteral("Cannot open file '%1'").arg(QFileInfo(path).fileName()),
            MessageButtons::Ok);
    return;
  }
  QMdiSubWindow* sub = addChild(new PictureChild(image, QFileInfo(path).fileName()));
  sub->resize(sub->sizeHint().boundedTo(mdi_->viewport()->size()));
}

}  // namespace tarvolin::ui
