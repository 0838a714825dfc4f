// SPDX-License-Identifier: GPL-3.0-or-later
// The files that come with the program (lessons, error sound, help pages) are found beside the
// program in the build tree and in a portable copy, and in <prefix>/share/pekto when installed.

#include <QComboBox>
#include <QTemporaryDir>
#include <QtTest>
#include <fstream>

#include "TestSupport.h"
#include "app/Main.h"
#include "base/Settings.h"
#include "platform/QtText.h"
#include "platform/Startup.h"

using namespace pekto;
namespace fs = std::filesystem;

namespace {

void WriteBytes(const fs::path& path, std::string_view bytes) {
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary)
      .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace

class BundleTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir root_;

  fs::path Root() const { return fs::path(root_.path().toStdString()); }

 private slots:
  void initTestCase() { QVERIFY(root_.isValid()); }

  void programFolderWithLessonsIsTheBundle() {
    const fs::path program = Root() / "build" / "bin";
    fs::create_directories(program / "Leckek");
    // Even when an installation lies next to it, the program's own folder wins.
    fs::create_directories(Root() / "build" / "share" / "pekto" / "Leckek");
    QCOMPARE(BundleFolder(program), program);
  }

  void installedProgramFindsTheSharedDataFolder() {
    const fs::path prefix = Root() / "usr";
    fs::create_directories(prefix / "bin");
    fs::create_directories(prefix / "share" / "pekto" / "Leckek");
    QCOMPARE(BundleFolder(prefix / "bin"), prefix / "share" / "pekto");
  }

  void withNeitherTheProgramFolderStands() {
    const fs::path program = Root() / "bare" / "bin";
    fs::create_directories(program);
    QCOMPARE(BundleFolder(program), program);
  }

  void bundleDirFollowsTheProgramFolderOfThisRun() {
    const fs::path prefix = Root() / "opt";
    fs::create_directories(prefix / "bin");
    fs::create_directories(prefix / "share" / "pekto");
    Startup().ProgramDir = prefix / "bin";
    QCOMPARE(BundleDir(), prefix / "share" / "pekto");
  }

  // An installed program: its first start fills the new lesson folder from the shared data
  // folder, the chooser lists those lessons and the default error sound is the shared one.
  void installedMainWindowUsesTheSharedFiles() {
#ifdef _WIN32
    QSKIP("on Windows the program's files always lie beside it, never in ../share/pekto");
#endif
    test::TempDataDir data;
    QVERIFY(data.IsValid());
    const fs::path prefix = Root() / "local";
    const fs::path share = prefix / "share" / "pekto";
    fs::create_directories(prefix / "bin");
    WriteBytes(share / "Leckek" / "001_fdjk.lck", "fdjk\r\nfff jjj\r\n");
    WriteBytes(share / "Leckek" / "002_asl.lck", "asl\r\naaa lll\r\n");
    WriteBytes(share / "default.wav", "RIFF");
    Startup() = ComputeFolders(prefix / "bin");
    Startup().WorkArea = WorkRect{0, 0, 1280, 1000};
    Beall = TBeall{};

    Tfrm_Main window(QStringList{});
    const auto* chooser = test::Find<QComboBox>(&window, "ComboBox1");
    QCOMPARE(chooser->count(), 2);
    QCOMPARE(chooser->itemText(0), QStringLiteral("001_fdjk.lck"));
    QCOMPARE(chooser->itemText(1), QStringLiteral("002_asl.lck"));
    QVERIFY(fs::is_regular_file(data.FsPath() / "Pekto" / "Leckek" / "002_asl.lck"));
    QCOMPARE(PathFromCp1250(Beall.SoundFile), share / "default.wav");
  }
};

PEKTO_TEST_MAIN(BundleTest)

#include "test_bundle.moc"
