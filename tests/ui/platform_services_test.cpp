// The services under the windows: the single-instance lock (also after its holder is killed),
// the work folder and its seeding, the memory read-outs of the About dialog, and JPEG coding.

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cfenv>

#include "tests/ui/ui_test_support.h"
#include "ui/main_window/about_dialog.h"
#include "ui/platform/jpeg_image.h"
#include "ui/platform/single_instance.h"
#include "ui/platform/work_folder.h"

using namespace tarvolin;
using namespace tarvolin::ui;

class PlatformServicesTest : public QObject {
  Q_OBJECT

 private slots:
  // The lock taken once; an instance that dies without cleaning up must not keep the next one out.
  void singleInstance() {
    QTemporaryDir dir;
    const QString path = dir.filePath("TVN_One_Start.lock");
    SingleInstanceLock first, second;
    QCOMPARE(first.acquire(path), SingleInstanceLock::Result::Acquired);
    QCOMPARE(second.acquire(path), SingleInstanceLock::Result::HeldElsewhere);
    first.release();
    QCOMPARE(second.acquire(path), SingleInstanceLock::Result::Acquired);
    second.release();
    QCOMPARE(SingleInstanceLock().acquire(dir.filePath("no/such/folder/x.lock")),
             SingleInstanceLock::Result::Unavailable);

    int ready[2];
    QCOMPARE(::pipe(ready), 0);
    const pid_t child = ::fork();
    if (child == 0) {
      SingleInstanceLock lock;
      const char held = lock.acquire(path) == SingleInstanceLock::Result::Acquired ? 'y' : 'n';
      if (::write(ready[1], &held, 1) != 1) ::_exit(2);
      ::pause();
      ::_exit(0);
    }
    char held = 0;
    QCOMPARE(::read(ready[0], &held, 1), ssize_t(1));
    QCOMPARE(held, 'y');
    SingleInstanceLock lock;
    QCOMPARE(lock.acquire(path), SingleInstanceLock::Result::HeldElsewhere);
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    QVERIFY(QFile::exists(path));  // the file stays; its lock went with the process
    QCOMPARE(lock.acquire(path), SingleInstanceLock::Result::Acquired);
    ::close(ready[0]);
    ::close(ready[1]);
  }

  // A new folder is made and gets the example inputs and nothing else; a folder in use is not
  // seeded and its files are never replaced; an empty one is seeded.
  void workFolder() {
    QTemporaryDir base;
    const QString examples = findExamplesFolder(TARVOLIN_SOURCE_DIR);
    QVERIFY(QFile::exists(QDir(examples).filePath("TEST.DAT")));

    const QString fresh = base.filePath("a/b/Tarvolin");
    QString error;
    QVERIFY(prepareWorkFolder(fresh, examples, &error));
    const QStringList seeded = QDir(fresh).entryList(QDir::Files);
    QVERIFY(seeded.contains("TEST.DAT") && seeded.contains("CU_GLYCINE.SQD"));
    for (const QString& name : seeded)
      QVERIFY2(name.endsWith(".DAT") || name.endsWith(".SQD"), qPrintable(name));

    const QString used = base.filePath("used");
    QDir().mkpath(used);
    const QString mine = QDir(used).filePath("TEST.DAT");
    QVERIFY(testing::writeBytes(mine, "mine"));
    QVERIFY(prepareWorkFolder(used, examples, &error));
    QCOMPARE(QDir(used).entryList(QDir::Files), QStringList{"TEST.DAT"});
    QCOMPARE(testing::readBytes(mine), QByteArray("mine"));

    const QString empty = base.filePath("empty");
    QDir().mkpath(empty);
    QVERIFY(prepareWorkFolder(empty, examples, &error));
    QVERIFY(QFile::exists(QDir(empty).filePath("TEST.DAT")));

    // A folder that cannot be made is reported, as is a file in its place.
    QVERIFY(!prepareWorkFolder(QDir(fresh).filePath("TEST.DAT/sub"), examples, &error));
    QVERIFY(error.contains("TEST.DAT/sub"));
    QVERIFY(!prepareWorkFolder(QDir(fresh).filePath("TEST.DAT"), examples, &error));
  }

  // Window code run from inside a fit (a repaint, a timer) may raise floating-point flags; the
  // fit must not see them, or a clean run would end as "Invalid floating point operation".
  void eventsKeepTheFitsFloatingPointFlags() {
    GuiPlatform platform;
    volatile double zero = 0;
    const auto invalid = [&] { [[maybe_unused]] volatile double nan = zero / zero; };
    QTimer::singleShot(0, invalid);
    QTest::qWait(1);
    std::feclearexcept(FE_ALL_EXCEPT);
    QTimer::singleShot(0, invalid);
    platform.processPendingEvents();
    QCOMPARE(std::fetestexcept(FE_ALL_EXCEPT), 0);
    // ... and flags the fit raised survive the events.
    std::feraiseexcept(FE_OVERFLOW);
    QTimer::singleShot(0, [] { std::feclearexcept(FE_ALL_EXCEPT); });
    platform.processPendingEvents();
    QVERIFY(std::fetestexcept(FE_OVERFLOW));
    std::feclearexcept(FE_ALL_EXCEPT);
  }

  void meminfo() {
    const auto status = parseMeminfo(
        "MemTotal:       16318236 kB\nMemFree:         1000000 kB\n"
        "MemAvailable:    4079559 kB\nBuffers:          200000 kB\n");
    QVERIFY(status);
    QCOMPARE(status->totalKb, quint64(16318236));
    QCOMPARE(memoryLoadPercent(*status), 75);
    // Older kernels: free, buffers and cache stand in for the available memory.
    const auto old =
        parseMeminfo("MemTotal: 1000 kB\nMemFree: 100 kB\nBuffers: 50 kB\nCached: 100 kB\n");
    QVERIFY(old);
    QCOMPARE(memoryLoadPercent(*old), 75);
    QVERIFY(!parseMeminfo("MemFree: 5 kB\n"));
    QVERIFY(readMemoryStatus());

    QCOMPARE(kilobytesText(16318236, QLocale(QLocale::English, QLocale::UnitedStates)),
             QString("16,318,236 KB"));
    QCOMPARE(kilobytesText(16318236, QLocale(QLocale::German, QLocale::Germany)),
             QString("16.318.236 KB"));
    QCOMPARE(kilobytesText(512, QLocale::c()), QString("512 KB"));
  }

  void jpeg() {
    QImage image(64, 48, QImage::Format_ARGB32);
    image.fill(QColor(200, 40, 40));
    for (int x = 0; x < 64; ++x) image.setPixelColor(x, 24, Qt::white);
    QByteArray jpeg;
    QVERIFY(encodeJpeg(image, kWindowImageQuality, jpeg));
    const QImage decoded = decodeJpeg(jpeg);
    QCOMPARE(decoded.size(), image.size());
    const QColor corner = decoded.pixelColor(2, 2);
    QVERIFY(qAbs(corner.red() - 200) < 12 && qAbs(corner.green() - 40) < 12);
    QByteArray best;
    QVERIFY(encodeJpeg(image, 100, best));
    QVERIFY(jpeg.size() < best.size());

    QVERIFY(decodeJpeg(QByteArray("not a jpeg at all")).isNull());
    QVERIFY(decodeJpeg(QByteArray()).isNull());
    QString error;
    QVERIFY(!encodeJpeg(QImage(), 80, jpeg, &error));
    QVERIFY(!writeJpegFile(image, "/no/such/folder/x.jpg", 80, &error));
    QVERIFY(!error.isEmpty());
  }
};

QTEST_MAIN(PlatformServicesTest)
#include "platform_services_test.moc"
