// SPDX-License-Identifier: GPL-3.0-or-later
// Bad input and faults as real machines and users bring them: damaged, huge or unreadable
// lessons, table files and settings files, folders that take no file, a full disk, a damaged
// wave file. For each the test checks the message the user sees and that no file that was
// there lost a byte. tests/BAD_INPUT.md lists every case.

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <linux/capability.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

#include <QAction>
#include <QComboBox>
#include <QDate>
#include <QFontDialog>
#include <QGuiApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QWindow>
#include <QtTest>
#include <algorithm>
#include <fstream>
#include <map>
#include <optional>

#include "../core/FileSizeLimit.h"
#include "../core/HugeFile.h"
#include "EvaluationSupport.h"
#include "app/Main.h"
#include "base/Settings.h"
#include "platform/Error.h"
#include "platform/FileLock.h"
#include "platform/Fonts.h"
#include "platform/Guard.h"
#include "platform/IniFile.h"
#include "platform/QtText.h"
#include "platform/Startup.h"
#include "practice/LessonFile.h"
#include "practice/TextPane.h"
#include "results/Ertekel.h"
#include "results/KeyTable.h"

using namespace pekto;
namespace fs = std::filesystem;
using Reply = test::DialogAnswers::Reply;

namespace {

using test::DataDir;
using test::EnterName;
using test::Golden;
using test::kPlayerHead;
using test::LessonDir;
using test::PlayerFile;
using test::ReadBytes;
using test::ScoreFile;
using test::WriteBytes;

// Watches the results window's opening instead of showing it.
struct ResultsWatch : test::ResultsWatch {
  ResultsWatch() : test::ResultsWatch(false) {}
};

// The bytes of every file below `folder`, to be compared after the fault.
using Snapshot = std::map<fs::path, std::string>;

Snapshot TakeSnapshot(const fs::path& folder) {
  Snapshot files;
  std::error_code ec;
  for (auto it = fs::recursive_directory_iterator(folder, ec);
       !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
    if (it->is_regular_file(ec) && fs::file_size(it->path(), ec) < (64u << 20)) {
      files[it->path()] = ReadBytes(it->path());
    }
  }
  return files;
}

// Every file of the snapshot is still there with the same bytes; `changed` may differ.
bool AllKept(const Snapshot& before, const std::vector<fs::path>& changed = {}) {
  bool kept = true;
  for (const auto& [path, bytes] : before) {
    if (std::find(changed.begin(), changed.end(), path) != changed.end()) continue;
    if (!fs::exists(path) || ReadBytes(path) != bytes) {
      qWarning("%s lost bytes", qPrintable(FromPath(path)));
      kept = false;
    }
  }
  return kept;
}

// Bytes that are no text: every value from 1 to 255 in a scrambled order, NUL-free so that
// readers that stop at a NUL byte read all of it.
std::string BinaryJunk(size_t size) {
  std::string junk(size, '\0');
  uint32_t state = 12345;
  for (char& c : junk) {
    state = state * 1103515245u + 12345u;
    c = static_cast<char>(1 + (state >> 16) % 255);
  }
  return junk;
}

#ifndef _WIN32
// Makes a folder refuse new files for as long as it lives: by its permissions, or for root,
// who ignores them, by the file system's immutable flag.
class ReadOnlyFolder {
 public:
  explicit ReadOnlyFolder(fs::path folder) : folder_(std::move(folder)) {
    if (::geteuid() != 0) {
      fs::permissions(folder_, fs::perms::owner_read | fs::perms::owner_exec);
      done_ = true;
    } else {
      done_ = SetImmutable(true);
    }
  }
  ~ReadOnlyFolder() {
    if (!done_) return;
    if (::geteuid() != 0) {
      fs::permissions(folder_, fs::perms::owner_all);
    } else {
      SetImmutable(false);
    }
  }
  ReadOnlyFolder(const ReadOnlyFolder&) = delete;
  ReadOnlyFolder& operator=(const ReadOnlyFolder&) = delete;
  bool Done() const { return done_; }

 private:
  bool SetImmutable(bool on) const {
    const int fd = ::open(folder_.c_str(), O_RDONLY | O_DIRECTORY);
    if (fd < 0) return false;
    int flags = 0;
    bool ok = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
    ok = ok && ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    ::close(fd);
    return ok;
  }

  fs::path folder_;
  bool done_ = false;
};

// For as long as it lives, the permissions of files bind this thread even when it runs as root:
// the capabilities that let root pass them are taken out of its effective set (they stay
// permitted and come back afterwards).
class FilePermissionsBind {
 public:
  FilePermissionsBind() {
    if (::geteuid() != 0) {
      done_ = true;
      return;
    }
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    if (::syscall(SYS_capget, &header, saved_) != 0) return;
    __user_cap_data_struct lowered[2] = {saved_[0], saved_[1]};
    lowered[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
    done_ = ::syscall(SYS_capset, &header, lowered) == 0;
    restore_ = done_;
  }
  ~FilePermissionsBind() {
    if (!restore_) return;
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    ::syscall(SYS_capset, &header, saved_);
  }
  FilePermissionsBind(const FilePermissionsBind&) = delete;
  FilePermissionsBind& operator=(const FilePermissionsBind&) = delete;
  bool Done() const { return done_; }

 private:
  __user_cap_data_struct saved_[2] = {};
  bool done_ = false;
  bool restore_ = false;
};

// A small file system of 64 KB mounted for as long as the object lives, where the machine lets
// the test mount one (root, and a kernel that allows tmpfs here).
class SmallDisk {
 public:
  SmallDisk() {
    if (!dir_.isValid()) return;
    mounted_ = ::mount("tmpfs", dir_.path().toLocal8Bit().constData(), "tmpfs", 0,
                       "size=64k,mode=0755") == 0;
  }
  ~SmallDisk() {
    if (mounted_) ::umount2(dir_.path().toLocal8Bit().constData(), MNT_DETACH);
  }
  SmallDisk(const SmallDisk&) = delete;
  SmallDisk& operator=(const SmallDisk&) = delete;
  bool Mounted() const { return mounted_; }
  fs::path Path() const { return ToPath(dir_.path()); }

  // Fills the free space with a file, so that the next write of any size fails.
  void Fill() const {
    std::ofstream filler(Path() / "filler", std::ios::binary);
    const std::string block(1024, 'x');
    while (filler.write(block.data(), static_cast<std::streamsize>(block.size()))) {
    }
    filler.close();
    std::ofstream last(Path() / "filler2", std::ios::binary);  // the last partial block
    while (last.put('x')) {
    }
  }

 private:
  QTemporaryDir dir_;
  bool mounted_ = false;
};
#endif

// Makes a file unreadable to the program for as long as it lives, as a user or another program
// can: on Windows by holding it open without sharing it, elsewhere by taking away its
// permissions, which then bind root too (FilePermissionsBind).
#ifdef _WIN32
// A file kept open as another program keeps it, for as long as the object lives. `share` is what
// others may still do with it: nothing (0), or read it (FILE_SHARE_READ), as a spreadsheet
// program keeps the table it shows.
class HeldFile {
 public:
  HeldFile(const fs::path& file, DWORD share)
      : handle_(CreateFileW(file.c_str(), GENERIC_READ | GENERIC_WRITE, share, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)) {}
  ~HeldFile() {
    if (Held()) CloseHandle(handle_);
  }
  HeldFile(const HeldFile&) = delete;
  HeldFile& operator=(const HeldFile&) = delete;
  bool Held() const { return handle_ != INVALID_HANDLE_VALUE; }

 private:
  HANDLE handle_;
};
#endif

class UnreadableFile {
 public:
#ifdef _WIN32
  explicit UnreadableFile(const fs::path& file) : held_(file, 0) {}
  bool Done() const {
    return held_.Held();
  }
#else
  explicit UnreadableFile(fs::path file) : file_(std::move(file)) {
    fs::permissions(file_, fs::perms::none);
    bind_.emplace();
  }
  ~UnreadableFile() {
    bind_.reset();
    fs::permissions(file_, fs::perms::owner_read | fs::perms::owner_write);
  }
  bool Done() const {
    return bind_->Done();
  }
#endif
  UnreadableFile(const UnreadableFile&) = delete;
  UnreadableFile& operator=(const UnreadableFile&) = delete;

 private:
#ifdef _WIN32
  HeldFile held_;
#else
  fs::path file_;
  std::optional<FilePermissionsBind> bind_;
#endif
};

#ifdef _WIN32
// Windows' FIFO, a named pipe waiting for its clients, or its /dev/zero, the NUL device, for as
// long as the object lives.
class SpecialFile {
 public:
  explicit SpecialFile(bool pipe) : path_(pipe ? L"\\\\.\\pipe\\pekto-badinput" : L"\\\\.\\NUL") {
    // Instances enough for every opening of the run (a settings file is opened for each value).
    for (int i = 0; pipe && i < kInstances; ++i) {
      instances_.push_back(CreateNamedPipeW(path_.c_str(), PIPE_ACCESS_DUPLEX, PIPE_TYPE_BYTE,
                                            PIPE_UNLIMITED_INSTANCES, 0, 0, 0, nullptr));
    }
  }
  ~SpecialFile() {
    for (const HANDLE instance : instances_) {
      if (instance != INVALID_HANDLE_VALUE) CloseHandle(instance);
    }
  }
  SpecialFile(const SpecialFile&) = delete;
  SpecialFile& operator=(const SpecialFile&) = delete;
  bool Made() const {
    return std::none_of(instances_.begin(), instances_.end(),
                        [](HANDLE h) { return h == INVALID_HANDLE_VALUE; });
  }
  const fs::path& Path() const { return path_; }

 private:
  static constexpr int kInstances = 64;
  fs::path path_;
  std::vector<HANDLE> instances_;
};
#endif

constexpr const char* kNotUnreadable =
    "this machine does not let root be bound by file permissions";

const std::string kPlayers = kPlayerHead + "\"Anna\",\r\n\"B\xE9la\",\r\n";

// Answers whatever opens: the player dialog with `name` and OK, any other dialog with OK. For
// faults that report at several steps, so that the test need not know their order in advance.
Reply AnswerAll(const QString& name) {
  return [name](QDialog& dialog) {
    if (dialog.objectName() == QStringLiteral("frm_Jatekos")) {
      EnterName(name)(dialog);
    } else {
      dialog.accept();
    }
  };
}

// The texts of the message boxes that were shown, in order.
QStringList Messages(const test::DialogAnswers& answers) {
  QStringList texts;
  for (const auto& record : answers.Records()) {
    if (!record.text.isEmpty()) texts << record.caption + QStringLiteral(": ") + record.text;
  }
  return texts;
}

// The message boxes shown were exactly `expected` ("caption: text"); all are listed on failure.
void ExpectMessages(const test::DialogAnswers& answers, const QStringList& expected) {
  const QStringList shown = Messages(answers);
  QVERIFY2(shown == expected, qPrintable(QStringLiteral("shown:\n") + shown.join(u'\n') +
                                         QStringLiteral("\nexpected:\n") + expected.join(u'\n')));
}

// The warning that a damaged table was kept aside, as ExpectMessages lists it.
QString SetAsideNotice(const fs::path& file, const QString& reason, const fs::path& kept,
                       const char* stored) {
  const QString name = u'"' + FromPath(file.filename()) + u'"';
  return QStringLiteral("Figyelem: A(z) ") + name + QStringLiteral(" sérült, nem olvasható be:\n") +
         reason + QStringLiteral("\nA régi fájl változatlanul megmaradt ezen a néven:\n") +
         FromPath(kept) + u'\n' + QString::fromUtf8(stored) + QStringLiteral(" egy új ") + name +
         QStringLiteral(" fájlba került.");
}

}  // namespace

class BadInputTest : public QObject {
  Q_OBJECT

 private:
  test::FreshRun run_{{.withLessonFolder = true}};

  static std::unique_ptr<Tfrm_Main> Open(QStringList args = {}) {
    auto window = test::ShowMain(std::move(args));
    test::Find<QTimer>(window, "Timer1")->stop();
    return window;
  }

  // The main window with the lessons of the folder in its chooser and "Bravo" running, one key
  // typed.
  std::unique_ptr<Tfrm_Main> OpenWithRunningExercise() {
    WriteBytes(LessonDir() / "a.lck", "Bravo\r\nxyz\r\n");
    auto w = Open();
    Choose(*w, "a.lck");
    test::TypeText(test::Find<TextPane>(w, "SynEdit1"), QStringLiteral("x"));
    return w;
  }

  static void Choose(Tfrm_Main& w, const QString& name) {
    auto* chooser = test::Find<QComboBox>(&w, "ComboBox1");
    const int index = chooser->findText(name);
    QVERIFY2(index >= 0, qPrintable(name));
    chooser->setFocus();
    emit chooser->activated(index);
  }

  // The exercise "Bravo" goes on as it was.
  static void ExpectBravoRunning(const Tfrm_Main& w) {
    QVERIFY(w.State().ExerciseActive);
    QCOMPARE(w.State().LessonTitle, std::string("Bravo"));
    QCOMPARE(w.State().CorrectCount, 1);
    QCOMPARE(test::Find<QLabel>(&w, "Panel4")->text(), QStringLiteral("Pekto : Bravo"));
    QCOMPARE(test::Find<TextPane>(&w, "SynEdit2")->Line(0), std::string("xyz"));
  }

  // The end of an exercise as the main window runs it: errors reach the general error report.
  static void FinishAnExercise() {
    Guarded([] { ShowEvaluation("Alapsor", 120, 114, 9, 95, nullptr); });
  }

 private slots:
  void init() { run_.Reset(); }

  // ---- lessons ------------------------------------------------------------------------------

  void lessonsWithoutAnyLineAreRefused_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("NUL first") << QByteArray("\0C\xEDm\r\nab\r\n", 10);
    QTest::newRow("binary, NUL first") << QByteArray("\0\0\x01\x02\xFF\xFE\r\n\x80", 9);
  }
  void lessonsWithoutAnyLineAreRefused() {
    QFETCH(QByteArray, bytes);
    WriteBytes(LessonDir() / "rossz.lck", bytes.toStdString());
    auto w = OpenWithRunningExercise();
    const Snapshot before = TakeSnapshot(DataDir());
    test::DialogAnswers box;
    Choose(*w, QStringLiteral("rossz.lck"));
    QCOMPARE(box.Count(), 1);
    QCOMPARE(box.Last().caption, QStringLiteral("Pekto"));
    QCOMPARE(box.Last().icon, int(QMessageBox::Critical));
    QCOMPARE(box.Last().text, QStringLiteral("List index out of bounds (0)"));
    ExpectBravoRunning(*w);
    QVERIFY(AllKept(before));
  }

  // Bytes are taken as they are: binary junk, a NUL in the text or a lesson of a title only are
  // lessons, with no message.
  void oddLessonsLoadAsTheyAre_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("title");
    QTest::addColumn<int>("letters");
    QTest::newRow("binary") << QByteArray("\x89PNG\r\n\x1A\n\0\0\0\rIHDR", 16)
                            << QStringLiteral("Pekto : \u2030PNG") << 1;
    QTest::newRow("NUL in the text")
        << QByteArray("C\xEDm\r\nab\0more\r\ntext", 18) << QStringLiteral("Pekto : Cím") << 2;
    QTest::newRow("only a title") << QByteArray("C\xEDm\r\n") << QStringLiteral("Pekto : Cím") << 0;
    QTest::newRow("only a title, no line end")
        << QByteArray("C\xEDm") << QStringLiteral("Pekto : Cím") << 0;
    QTest::newRow("only a line end") << QByteArray("\r\n") << QStringLiteral("Pekto : ") << 0;
  }
  void oddLessonsLoadAsTheyAre() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, title);
    QFETCH(int, letters);
    WriteBytes(LessonDir() / "furcsa.lck", bytes.toStdString());
    auto w = Open();
    const Snapshot before = TakeSnapshot(DataDir());
    test::DialogAnswers box;
    Choose(*w, QStringLiteral("furcsa.lck"));
    QCOMPARE(box.Count(), 0);
    QVERIFY(w->State().ExerciseActive);
    QCOMPARE(test::Find<QLabel>(w, "Panel4")->text(), title);
    QCOMPARE(w->State().TotalLetters, letters);
    QVERIFY(AllKept(before));
  }

  void anUnreadableLessonIsNamedWithTheReason() {
    const fs::path path = LessonDir() / "titkos.lck";
    WriteBytes(path, "Titok\r\nabc\r\n");
    auto w = OpenWithRunningExercise();
    const Snapshot before = TakeSnapshot(DataDir());
    test::DialogAnswers box;
    {
      const UnreadableFile unreadable(path);
      if (!unreadable.Done()) QSKIP(kNotUnreadable);
      Choose(*w, QStringLiteral("titkos.lck"));
    }
    QCOMPARE(box.Count(), 1);
    QCOMPARE(box.Last().caption, QStringLiteral("Pekto"));
    QCOMPARE(box.Last().text,
             QStringLiteral("Cannot open file \"") + FromPath(path) + "\". Permission denied.");
    ExpectBravoRunning(*w);
    QVERIFY(AllKept(before));
  }

  // Listed at start-up, removed before it is chosen: nothing loads, nothing is said, and the
  // typing pane takes the focus.
  void aLessonDeletedAfterListingLoadsNothing() {
    WriteBytes(LessonDir() / "eltunt.lck", "Volt\r\nabc\r\n");
    auto w = OpenWithRunningExercise();
    fs::remove(LessonDir() / "eltunt.lck");
    const Snapshot before = TakeSnapshot(DataDir());
    test::DialogAnswers box;
    Choose(*w, QStringLiteral("eltunt.lck"));
    QCOMPARE(box.Count(), 0);
    ExpectBravoRunning(*w);
    QCOMPARE(QApplication::focusWidget(),
             static_cast<QWidget*>(test::Find<TextPane>(w, "SynEdit1")));
    QVERIFY(AllKept(before));
  }

  // A sparse file of 20 GB: refused by its size at once, with a message that names it as it
  // is named, markup and all.
  void aHugeLessonIsRefusedByItsSize_data() {
    QTest::addColumn<QString>("name");
    QTest::newRow("plain") << QStringLiteral("nagy.lck");
    QTest::newRow("markup") << QStringLiteral("<h1>Nagy <u>betű <a href=http:example>link.lck");
  }
  void aHugeLessonIsRefusedByItsSize() {
    QFETCH(QString, name);
#ifdef _WIN32
    if (name.contains(u'<')) QSKIP("Windows file names hold no < > or :");
#endif
    const fs::path path = LessonDir() / ToPath(name);
    WriteBytes(path, "Nagy\r\nabc\r\n");
    test::MakeHugeFile(path, std::uintmax_t{20} << 30);
    auto w = OpenWithRunningExercise();
    const Snapshot before = TakeSnapshot(DataDir());
    test::DialogAnswers box;
    QElapsedTimer timer;
    timer.start();
    Choose(*w, name);
    QVERIFY(timer.elapsed() < 5000);
    QCOMPARE(box.Count(), 1);
    QCOMPARE(box.Last().caption, QStringLiteral("Pekto"));
    QVERIFY(box.Last().plain);
    QCOMPARE(box.Last().text, QStringLiteral("A lecke túl nagy: \"") + FromPath(path) +
                                  "\" (20480 MB). Egy lecke legfeljebb 64 MB lehet.");
    ExpectBravoRunning(*w);
    QVERIFY(AllKept(before));
    QCOMPARE(fs::file_size(path), std::uintmax_t{20} << 30);
    fs::remove(path);
  }

  // A lesson of 50 MB named on the command line: the window is on the screen before the lesson
  // is read, the busy cursor shows while it loads, and the lesson then runs.
  void aFiftyMegabyteLessonShowsTheWindowFirst() {
    const fs::path path = DataDir() / "otven.lck";
    std::string lesson = "Nagy lecke\r\n";
    const std::string line = std::string(68, 'a') + "\r\n";
    while (lesson.size() + line.size() <= 50'000'000) lesson += line;
    WriteBytes(path, lesson);
    const int lines = static_cast<int>((lesson.size() - 12) / line.size());

    auto w = std::make_unique<Tfrm_Main>(QStringList{FromPath(path)});
    struct Seen {
      bool busy = false, exposed = false, visible = false;
    } seen;
    int changes = 0;
    seen = {true, true, true};
    // The lesson pane changes only while the lesson loads.
    connect(test::Find<TextPane>(w, "SynEdit2"), &QPlainTextEdit::textChanged, this, [&] {
      ++changes;
      const QCursor* cursor = QGuiApplication::overrideCursor();
      seen.busy = seen.busy && cursor != nullptr && cursor->shape() == Qt::WaitCursor;
      seen.visible = seen.visible && w->isVisible();
      seen.exposed = seen.exposed && w->windowHandle() != nullptr && w->windowHandle()->isExposed();
    });
    test::DialogAnswers box;
    w->show();
    QVERIFY(test::WaitStarted(*w));
    QVERIFY(w->State().ExerciseActive);
    QVERIFY(changes > 0);
    QVERIFY(seen.visible);
    QVERIFY(seen.exposed);
    QVERIFY(seen.busy);
    QVERIFY(QGuiApplication::overrideCursor() == nullptr);  // restored
    QCOMPARE(box.Count(), 0);
    QCOMPARE(w->State().TotalLetters, lines * 68);
    QCOMPARE(test::Find<QLabel>(w, "Panel4")->text(), QStringLiteral("Pekto : Nagy lecke"));
    QCOMPARE(ReadBytes(path).size(), lesson.size());
    w.reset();
    fs::remove(path);
  }

  // ---- table files ----------------------------------------------------------------------------

  void damagedScoreFilesAreKeptAsideAndTheResultRecorded_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("message");
    const std::string good = Golden("score_example.csv");
    const auto row = [](const std::string& cells) {
      return QByteArray::fromStdString(Golden("score_example.csv") + cells + "\r\n");
    };
    QTest::newRow("cut in the definitions")
        << QByteArray::fromStdString(good.substr(0, good.find("osszes=") + 9))
        << QStringLiteral("Unknown field type (In) in CSV file. (osszes=In)");
    QTest::newRow("binary junk") << QByteArray::fromStdString(BinaryJunk(4000))
                                 << QStringLiteral("Couldnt determine field count for load.");
    QTest::newRow("unknown field type")
        << QByteArray::fromStdString(
               "\"@@TABLEDEF START@@\"\r\n\"id=Money,0,\"\"id\"\",\"\"\"\",10\"\r\n")
        << QStringLiteral("Unknown field type (Money) in CSV file. (id=Money,0,\"id\",\"\",10)");
    QTest::newRow("invalid integer")
        << row("\"2\",\"Alapsor\",\"Cili\",\"12x\",\"1\",\"0\",\"100\",\"5\",\"07/03/2024\",")
        << QStringLiteral("'12x' is not a valid integer value for field 'osszes'");
    QTest::newRow("invalid float")
        << row("\"2\",\"Alapsor\",\"Cili\",\"12\",\"1\",\"0\",\"9,5\",\"5\",\"07/03/2024\",")
        << QStringLiteral("'9,5' is not a valid floating point value for field 'szazalek'");
    QTest::newRow("invalid date")
        << row("\"2\",\"Alapsor\",\"Cili\",\"12\",\"1\",\"0\",\"100\",\"5\",\"31/02/2024\",")
        << QStringLiteral("'31/02/2024' is not a valid date");
  }
  void damagedScoreFilesAreKeptAsideAndTheResultRecorded() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, message);
    WriteBytes(ScoreFile(), bytes.toStdString());
    WriteBytes(PlayerFile(), kPlayers);
    const Snapshot before = TakeSnapshot(DataDir());
    ResultsWatch results;
    test::DialogAnswers answers;
    answers.Then(test::DialogAnswers::Accept()).Then(EnterName(QStringLiteral("Anna")));
    FinishAnExercise();
    const fs::path kept = test::KeptAside(ScoreFile());
    ExpectMessages(answers, {SetAsideNotice(ScoreFile(), message, kept, "Az eredmény")});
    QCOMPARE(ReadBytes(kept), bytes.toStdString());
    QCOMPARE(results.ids, std::vector<int32_t>{0});
    QVERIFY(
        ReadBytes(ScoreFile()).find("\"0\",\"Alapsor\",\"Anna\",\"120\",\"114\",\"9\",\"93\"") !=
        std::string::npos);
    QVERIFY(AllKept(before, {ScoreFile()}));
    QVERIFY(!fs::exists(DataDir() / "Score.csv.lock"));
  }

  void damagedPlayerFilesAreReportedAndKeptAside_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("message");
    QTest::newRow("cut in the definitions")
        << QByteArray::fromStdString(kPlayerHead.substr(0, 60))
        << QStringLiteral("Unknown field type (Str) in CSV file. (jatekos=Str)");
    QTest::newRow("binary junk") << QByteArray::fromStdString(BinaryJunk(4000))
                                 << QStringLiteral("Couldnt determine field count for load.");
    QTest::newRow("unknown field type")
        << QByteArray::fromStdString(
               "\"@@TABLEDEF START@@\"\r\n\"jatekos=Blob,50,\"\"j\"\",\"\"\"\",50\"\r\n"
               "\"@@TABLEDEF END@@\"\r\n\"jatekos\",\r\n\"Anna\",\r\n")
        << QStringLiteral("Unknown field type (Blob) in CSV file. (jatekos=Blob,50,\"j\",\"\",50)");
  }
  void damagedPlayerFilesAreReportedAndKeptAside() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, message);
    WriteBytes(PlayerFile(), bytes.toStdString());
    const Snapshot before = TakeSnapshot(DataDir());
    ResultsWatch results;
    test::Offered offered;
    test::DialogAnswers answers;
    answers.Then(test::DialogAnswers::Accept())
        .Then(test::DialogAnswers::Accept())
        .Then(test::ReadPlayers(offered, EnterName(QStringLiteral("Kiss Anna"))));
    FinishAnExercise();
    const fs::path kept = test::KeptAside(PlayerFile());
    ExpectMessages(answers, {QStringLiteral("Pekto: ") + message,
                             SetAsideNotice(PlayerFile(), message, kept, "A játékos neve")});
    QCOMPARE(answers.Records()[2].object, QStringLiteral("frm_Jatekos"));
    QCOMPARE(offered.names, QStringList());
    QCOMPARE(ReadBytes(kept), bytes.toStdString());
    QCOMPARE(ReadBytes(PlayerFile()), kPlayerHead + "\"Kiss Anna\",\r\n");
    QCOMPARE(results.ids, std::vector<int32_t>{0});  // the score is recorded all the same
    QVERIFY(AllKept(before, {PlayerFile()}));
  }

  // Cut after a whole field of its last row: the row keeps what it holds (the rest is empty),
  // and the new result is recorded before it without a message.
  void aScoreFileCutInsideItsLastRowKeepsWhatItHolds() {
    const std::string good = Golden("score_example.csv");
    const std::string cut = good.substr(0, good.size() - 20);  // ends with "93",
    WriteBytes(ScoreFile(), cut);
    WriteBytes(PlayerFile(), kPlayers);
    const Snapshot before = TakeSnapshot(DataDir());
    ResultsWatch results;
    test::DialogAnswers answers;
    answers.Then(test::DialogAnswers::Accept()).Then(EnterName(QStringLiteral("Anna")));
    FinishAnExercise();
    QCOMPARE(Messages(answers), QStringList());
    QCOMPARE(results.ids.size(), size_t{1});
    QCOMPARE(results.ids[0], 2);
    QVERIFY(AllKept(before, {ScoreFile()}));
    const std::string after = ReadBytes(ScoreFile());
    QVERIFY(after.find(good.substr(good.find("\"1\",\"Alapsor\""),
                                   good.find("\"0\",\"Alapsor\"") -
                                       good.find("\"1\",\"Alapsor\""))) != std::string::npos);
    QVERIFY(after.find("\"0\",\"Alapsor\",\"Kiss Anna\",\"120\",\"114\",\"9\",\"93\",,,\r\n") !=
            std::string::npos);
  }

  // A score file that cannot be read, or whose lock path is a folder, is no damaged file: the
  // reason is named at once, nothing is recorded and nothing is moved.
  void scoreFilesThatAreNotDamagedAreNeverMoved_data() {
    QTest::addColumn<bool>("unreadable");
    QTest::addColumn<QString>("message");  // %1: the score file, or its lock path
    QTest::newRow("unreadable") << true
                                << QStringLiteral("Cannot open file \"%1\". Permission denied.");
    QTest::newRow("lock path a folder")
        << false
        << QStringLiteral(
               "A(z) \"%1\" zárolófájl nem hozható létre: ezen a néven egy mappa "
               "áll, nem fájl. Helyezze át vagy törölje, majd próbálja újra.");
  }
  void scoreFilesThatAreNotDamagedAreNeverMoved() {
    QFETCH(bool, unreadable);
    QFETCH(QString, message);
    WriteBytes(ScoreFile(), Golden("score_example.csv"));
    if (!unreadable) fs::create_directory(FileLock::LockPathOf(ScoreFile()));
    const Snapshot before = TakeSnapshot(DataDir());
    ResultsWatch results;
    test::DialogAnswers answers;
    answers.Then(test::DialogAnswers::Accept()).Then(EnterName(QStringLiteral("Anna")));
    {
      std::optional<UnreadableFile> held;
      if (unreadable) held.emplace(ScoreFile());
      if (held && !held->Done()) QSKIP(kNotUnreadable);
      FinishAnExercise();
    }
    const fs::path named = unreadable ? ScoreFile() : FileLock::LockPathOf(ScoreFile());
    ExpectMessages(answers, {QStringLiteral("Pekto: ") + message.arg(FromPath(named))});
    QVERIFY(results.ids.empty());
    QVERIFY(test::KeptAside(ScoreFile()).empty());
    QVERIFY(AllKept(before));
  }

  // Read-only by their permissions, or on Windows also by being kept open by a program that lets
  // others only read them, as a spreadsheet program keeps the table it shows.
  void readOnlyTableFilesAreNotReplaced_data() {
    QTest::addColumn<bool>("held");
    QTest::newRow("read-only") << false;
#ifdef _WIN32
    QTest::newRow("open in another program") << true;
#endif
  }
  void readOnlyTableFilesAreNotReplaced() {
    QFETCH(bool, held);
    WriteBytes(ScoreFile(), Golden("score_example.csv"));
    WriteBytes(PlayerFile(), kPlayers);
    const fs::perms readOnly = fs::perms::owner_read | fs::perms::group_read;
    if (!held) fs::permissions(ScoreFile(), readOnly);
    if (!held) fs::permissions(PlayerFile(), readOnly);
    const Snapshot before = TakeSnapshot(DataDir());
    ResultsWatch results;
    test::DialogAnswers answers;
    answers.Then(test::DialogAnswers::Accept()).Then(EnterName(QStringLiteral("Kiss Anna")));
    {
#ifdef _WIN32
      std::optional<HeldFile> scores, players;
      if (held) scores.emplace(ScoreFile(), FILE_SHARE_READ);
      if (held) players.emplace(PlayerFile(), FILE_SHARE_READ);
      QVERIFY(!held || (scores->Held() && players->Held()));
#endif
      FinishAnExercise();
    }
    fs::permissions(ScoreFile(), fs::perms::owner_read | fs::perms::owner_write);
    fs::permissions(PlayerFile(), fs::perms::owner_read | fs::perms::owner_write);
    QCOMPARE(answers.Count(), 4);
    QCOMPARE(answers.Records()[2].caption, QStringLiteral("Pekto"));
    QCOMPARE(answers.Records()[2].text, QStringLiteral("Cannot create file \"") +
                                            FromPath(PlayerFile()) + "\". Permission denied.");
    QCOMPARE(answers.Records()[3].caption, QStringLiteral("Pekto"));
    QCOMPARE(answers.Records()[3].text, QStringLiteral("Cannot create file \"") +
                                            FromPath(ScoreFile()) + "\". Permission denied.");
    QVERIFY(results.ids.empty());
    QVERIFY(AllKept(before));
  }

  // Keys.csv damaged, read-only or with its lock path taken: a warning names it, it keeps every
  // byte, and the score row is recorded all the same.
  void keyFilesThatTakeNoRowsKeepTheScore_data() {
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QString>("message");  // %lock: the key file's lock path, %file: the file
    const QString notWritten =
        QStringLiteral("A billentyűk adatai nem kerültek a(z) \"Keys.csv\" fájlba:\n");
    QTest::newRow("binary junk") << QStringLiteral("junk")
                                 << QStringLiteral(
                                        "A(z) \"Keys.csv\" sérült, nem olvasható be:\nCouldnt "
                                        "determine field count for load.\nA fájl változatlanul "
                                        "megmaradt, a billentyűk adatai nem kerültek bele.");
    QTest::newRow("read-only") << QStringLiteral("read-only")
                               << notWritten + "Cannot create file \"%file\". Permission denied";
    QTest::newRow("lock path a folder")
        << QStringLiteral("lock")
        << notWritten +
               "A(z) \"%lock\" zárolófájl nem hozható létre: ezen a néven egy mappa áll, "
               "nem fájl. Helyezze át vagy törölje, majd próbálja újra.";
  }
  void keyFilesThatTakeNoRowsKeepTheScore() {
    QFETCH(QString, fault);
    QFETCH(QString, message);
    const fs::path keys = DataDir() / "Keys.csv";
    const std::vector<KeyTally> tallies = {KeyTally{'a', 2, 1, {{'x', 1}}, 300}};
    if (fault == "junk") WriteBytes(keys, BinaryJunk(4000));
    if (fault != "junk") QVERIFY(!AppendKeyRows(keys, {7, "Anna", {2026, 1, 2}}, tallies));
    if (fault == "read-only") fs::permissions(keys, fs::perms::owner_read);
    if (fault == "lock") fs::create_directory(FileLock::LockPathOf(keys));
    const Snapshot before = TakeSnapshot(DataDir());
    ResultsWatch results;
    test::DialogAnswers answers;
    answers.Then(test::DialogAnswers::Accept()).Then(EnterName(QStringLiteral("Anna")));
    Guarded([&] { ShowEvaluation("Alapsor", 120, 114, 9, 95, nullptr, tallies); });
    fs::permissions(keys, fs::perms::owner_read | fs::perms::owner_write);
    message.replace(QStringLiteral("%lock"), FromPath(FileLock::LockPathOf(keys)))
        .replace(QStringLiteral("%file"), FromPath(keys));
    ExpectMessages(answers, {QStringLiteral("Figyelem: ") + message});
    QCOMPARE(results.ids, std::vector<int32_t>{0});
    QVERIFY(AllKept(before));
    QVERIFY(test::KeptAside(keys).empty());
  }

  // Every step that writes reports it: the placement of each dialog as it closes, the new
  // player's name and the score row. Nothing that was there changes.
  void aReadOnlyDataFolderKeepsBothTables() {
#ifdef _WIN32
    QSKIP(
        "a folder's read-only attribute does not stop new files on Windows, only its access "
        "list does, which Wine does not enforce");
#else
    WriteBytes(ScoreFile(), Golden("score_example.csv"));
    WriteBytes(PlayerFile(), kPlayers);
    WriteBytes(Startup().SettingsFile, "[Screen]\r\nFontSize=9\r\n");
    const Snapshot before = TakeSnapshot(DataDir());
    ResultsWatch results;
    test::DialogAnswers answers;
    for (int i = 0; i < 8; ++i) answers.Then(AnswerAll(QStringLiteral("Kiss Anna")));
    {
      const ReadOnlyFolder readOnly(DataDir());
      if (!readOnly.Done()) QSKIP("this file system cannot make a folder read-only");
      FinishAnExercise();
    }
    const QString folder = FromPath(DataDir());
    // Root passes permissions, so the folder is made immutable for it, which the system words
    // differently.
    const QString reason = ::geteuid() == 0 ? QStringLiteral("Operation not permitted")
                                            : QStringLiteral("Permission denied");
    ExpectMessages(answers, {QStringLiteral("Pekto: Unable to write to ") + folder + ".",
                             QStringLiteral("Pekto: Cannot lock file \"") + folder +
                                 "/Players.csv.lock\". " + reason + ".",
                             QStringLiteral("Pekto: Unable to write to ") + folder + ".",
                             QStringLiteral("Pekto: Cannot lock file \"") + folder +
                                 "/Score.csv.lock\". " + reason + "."});
    QVERIFY(results.ids.empty());
    QVERIFY(AllKept(before));
#endif
  }

  // A disk without a free byte: the same steps report, and the tables keep every byte (they are
  // replaced only by a whole new file).
  void aFullDiskKeepsBothTables() {
#ifdef _WIN32
    QSKIP("the test mounts its small file system the Linux way");
#else
    const SmallDisk disk;
    if (!disk.Mounted()) QSKIP("this machine does not let the test mount a small file system");
    Startup().DataDir = disk.Path();
    Startup().SettingsFile = disk.Path() / "Pekto.ini";
    WriteBytes(ScoreFile(), Golden("score_example.csv"));
    WriteBytes(PlayerFile(), kPlayers);
    WriteBytes(Startup().SettingsFile, "[Screen]\r\nFontSize=9\r\n");
    disk.Fill();
    const Snapshot before = TakeSnapshot(DataDir());
    ResultsWatch results;
    test::DialogAnswers answers;
    for (int i = 0; i < 8; ++i) answers.Then(AnswerAll(QStringLiteral("Kiss Anna")));
    FinishAnExercise();
    const QString where = FromPath(DataDir());
    ExpectMessages(answers, {QStringLiteral("Pekto: Unable to write to ") + where + "/Pekto.ini.",
                             QStringLiteral("Pekto: Cannot lock file \"") + where +
                                 "/Players.csv.lock\". No space left on device.",
                             QStringLiteral("Pekto: Unable to write to ") + where + "/Pekto.ini.",
                             QStringLiteral("Pekto: Cannot lock file \"") + where +
                                 "/Score.csv.lock\". No space left on device."});
    QVERIFY(results.ids.empty());
    QVERIFY(AllKept(before));
#endif
  }

  // ---- settings file and data folder ------------------------------------------------------------

  // Reading never fails: junk gives the defaults; the save adds the keys and keeps every byte.
  void aSettingsFileOfBinaryJunkGivesTheDefaults() {
    const std::string junk = BinaryJunk(4000);
    WriteBytes(Startup().SettingsFile, junk);
    test::DialogAnswers box;
    {
      auto w = Open();
      QCOMPARE(Beall.ScreenFontSize, 9);
      QCOMPARE(test::Find<TextPane>(w, "SynEdit1")->PaneFont().pointSize(), 14);
      QVERIFY(w->close());
    }
    QCOMPARE(box.Count(), 0);
    const std::string after = ReadBytes(Startup().SettingsFile);
    QVERIFY(after.size() > junk.size());
    QCOMPARE(after.substr(0, junk.size()), junk);
    QVERIFY(after.find("[Defaults]\r\n") != std::string::npos);
  }

  // A settings file far beyond any real one (a sparse file of 20 GB): read as if absent, and
  // never rewritten.
  void aHugeSettingsFileIsLeftAlone() {
    WriteBytes(Startup().SettingsFile, "[Screen]\r\nFontSize=10\r\n");
    test::MakeHugeFile(Startup().SettingsFile, std::uintmax_t{20} << 30);
    test::DialogAnswers box;
    QElapsedTimer timer;
    timer.start();
    {
      auto w = Open();
      QCOMPARE(Beall.ScreenFontSize, 9);
      QVERIFY(w->close());
    }
    QVERIFY(timer.elapsed() < 10000);
    QCOMPARE(box.Count(), 1);
    QCOMPARE(box.Last().caption, QStringLiteral("Pekto"));
    QCOMPARE(box.Last().text,
             QStringLiteral("Unable to write to ") + FromPath(Startup().SettingsFile) + ".");
    QCOMPARE(fs::file_size(Startup().SettingsFile), std::uintmax_t{20} << 30);
    std::string head(24, '\0');
    std::ifstream(Startup().SettingsFile, std::ios::binary).read(head.data(), 24);
    QCOMPARE(head, std::string("[Screen]\r\nFontSize=10\r\n\0", 24));
    fs::remove(Startup().SettingsFile);
  }

  void aReadOnlySettingsFileIsReportedAndKept() {
    WriteBytes(Startup().SettingsFile, "[Screen]\r\nFontSize=10\r\n");
    fs::permissions(Startup().SettingsFile, fs::perms::owner_read);
    const Snapshot before = TakeSnapshot(DataDir());
    test::DialogAnswers box;
    {
      auto w = Open();
      QCOMPARE(Beall.ScreenFontSize, 10);
      QVERIFY(w->close());  // the window closes all the same
    }
    fs::permissions(Startup().SettingsFile, fs::perms::owner_read | fs::perms::owner_write);
    QCOMPARE(box.Count(), 1);
    QCOMPARE(box.Last().caption, QStringLiteral("Pekto"));
    QCOMPARE(box.Last().text,
             QStringLiteral("Unable to write to ") + FromPath(Startup().SettingsFile) + ".");
    QVERIFY(AllKept(before));
  }

  // The data folder lies below a file: nothing can be created there. The program starts with
  // the defaults and an empty chooser; what it cannot store is reported where it happens.
  void aDataFolderThatCannotBeCreated() {
    const fs::path blocker = run_.Home() / "blocker";
    WriteBytes(blocker, "a file where a folder should be");
    Startup().DataDir = blocker / "Pekto";
    Startup().SettingsFile = Startup().DataDir / "Pekto.ini";
    test::DialogAnswers box;
    {
      auto w = Open();
      QCOMPARE(box.Count(), 0);
      QCOMPARE(test::Find<QComboBox>(w, "ComboBox1")->count(), 0);
      QVERIFY(w->close());
    }
    QCOMPARE(box.Count(), 1);
    QCOMPARE(box.Last().caption, QStringLiteral("Pekto"));
    QCOMPARE(box.Last().text,
             QStringLiteral("Unable to write to ") + FromPath(Startup().SettingsFile) + ".");

    ResultsWatch results;
    test::DialogAnswers answers;
    for (int i = 0; i < 8; ++i) answers.Then(AnswerAll(QStringLiteral("Kiss Anna")));
    FinishAnExercise();
    const auto in = [](const char* name) { return FromPath(DataDir() / name); };
#ifdef _WIN32
    const QString reason = QStringLiteral("No such file or directory");  // ERROR_PATH_NOT_FOUND
#else
    const QString reason = QStringLiteral("Not a directory");
#endif
    ExpectMessages(answers,
                   {"Pekto: Unable to write to " + in("Pekto.ini") + ".",
                    "Pekto: Cannot lock file \"" + in("Players.csv.lock") + "\". " + reason + ".",
                    "Pekto: Unable to write to " + in("Pekto.ini") + ".",
                    "Pekto: Cannot lock file \"" + in("Score.csv.lock") + "\". " + reason + "."});
    QVERIFY(results.ids.empty());
    QCOMPARE(ReadBytes(blocker), std::string("a file where a folder should be"));
  }

  void aDamagedWaveFileIsReportedOnceAndSwitchedOff() {
    const fs::path wave = DataDir() / "rossz.wav";
    const std::string bytes = "RIFF\x24\x00\x00\x00WAVEjunk";
    WriteBytes(wave, bytes);
    {
      IniFile ini(Startup().SettingsFile);
      ini.WriteBool("Defaults", "Sound", true);
      ini.WriteString("Defaults", "SoundFile", wave.string());
    }
    const fs::path lesson = DataDir() / "l.lck";
    WriteBytes(lesson, "L\r\nabc\r\n");
    auto w = Open({FromPath(lesson)});
    test::DialogAnswers box;
    test::TypeText(test::Find<TextPane>(w, "SynEdit1"), QStringLiteral("xx"));
    QTRY_COMPARE(box.Count(), 1);
    QCOMPARE(box.Last().caption, QStringLiteral("Hiba"));
    QCOMPARE(box.Last().text, QStringLiteral("Sérült hangfile, hanglejátszás leállítva\r\n"
                                             "A(z) \"") +
                                  FromPath(wave) +
                                  "\" nem érvényes wave hangfájl (nem RIFF WAVE fájl)");
    QCOMPARE(w->State().WrongCount, 2);
    QVERIFY(w->close());
    QCOMPARE(IniFile(Startup().SettingsFile).ReadString("Defaults", "Sound", ""), std::string("0"));
    QCOMPARE(ReadBytes(wave), bytes);
  }

  // ---- special files and odd names ------------------------------------------------------------

  // A FIFO or a link to /dev/zero where a file should be: refused at once with a message naming
  // it (was: the program hung, or read without end).
  void specialFilesAreRefusedAtOnce_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("fifo");
    QTest::addColumn<QString>("message");  // %1: the path
    const QString head = QStringLiteral("A(z) \"%1\" nem közönséges fájl, hanem ");
    const QString pipe = head + QStringLiteral("csővezeték (FIFO), ezért nem olvasható be.");
    const QString device = head + QStringLiteral("eszköz, ezért nem olvasható be.");
    const QString sound = QStringLiteral("Hiba: Sérült hangfile, hanglejátszás leállítva\r\n");
    const QString settings = QStringLiteral("Pekto: Unable to write to %1.");
    QTest::newRow("lesson chosen, FIFO") << "lesson" << true << "Pekto: " + pipe;
    QTest::newRow("last lesson edited, FIFO") << "editor" << true << "Pekto: " + pipe;
    QTest::newRow("score file, FIFO") << "scores" << true << "Pekto: " + pipe;
    QTest::newRow("sound, FIFO") << "sound" << true << sound + pipe;
    QTest::newRow("sound, /dev/zero") << "sound" << false << sound + device;
    QTest::newRow("settings, FIFO") << "settings" << true << settings;
    QTest::newRow("settings, /dev/zero") << "settings" << false << settings;
  }
  void specialFilesAreRefusedAtOnce() {
    QFETCH(QString, file);
    QFETCH(bool, fifo);
    QFETCH(QString, message);
#ifdef _WIN32
    // Windows keeps its pipes and devices outside the folders: a path the settings name can be
    // one, a file of a folder cannot.
    if (file == "lesson" || file == "scores") QSKIP("Windows has no pipe or device in a folder");
    const SpecialFile special(fifo);
    QVERIFY(special.Made());
    const fs::path path = special.Path();
    if (file == "settings") Startup().SettingsFile = path;
#else
    const fs::path path = file == "settings" ? Startup().SettingsFile
                          : file == "scores" ? ScoreFile()
                                             : LessonDir() / (file == "sound" ? "x.wav" : "x.lck");
#endif
    if (file == "sound") {
      IniFile ini(Startup().SettingsFile);
      ini.WriteBool("Defaults", "Sound", true);
      ini.WriteString("Defaults", "SoundFile", Cp1250FromPath(path));
    }
#ifndef _WIN32
    QCOMPARE(fifo ? ::mkfifo(path.c_str(), 0600) : ::symlink("/dev/zero", path.c_str()), 0);
#endif
    const fs::path lesson = DataDir() / "l.lck";
    WriteBytes(lesson, "L\r\nabc\r\n");
    test::DialogAnswers box;
    {
      auto w = Open({FromPath(lesson)});
      Beall.LastFile = Cp1250FromPath(path);
      if (file == "lesson") Choose(*w, QStringLiteral("x.lck"));
      if (file == "editor") test::Find<QAction>(w, "aSzerkeszt")->trigger();
      if (file == "scores") test::Find<QAction>(w, "aTop10")->trigger();
      if (file == "sound") test::TypeText(test::Find<TextPane>(w, "SynEdit1"), QStringLiteral("x"));
      QVERIFY(w->close());
    }
#ifdef _WIN32
    if (file == "sound") {  // no file to Windows: the sound is off, as for a missing file
      QVERIFY(!Beall.Sound);
      message.clear();
    }
#endif
    ExpectMessages(box,
                   message.isEmpty() ? QStringList() : QStringList{message.arg(FromPath(path))});
  }

  // Names the settings file cannot hold (Windows-1250 bytes, Cyrillic letters, a line break):
  // listed readably, the lesson opens and Ctrl+E edits it; the settings file keeps the last
  // path it can hold.
  void lessonsOfAnyNameOpenAndEdit_data() {
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<QString>("shown");
    QTest::newRow("Windows-1250") << QByteArray("\xE1rv\xEDz.lck") << QStringLiteral("árvíz.lck");
    QTest::newRow("Cyrillic") << QByteArray("Кир.lck") << QStringLiteral("Кир.lck");
    QTest::newRow("line break") << QByteArray("a\nb.lck") << QStringLiteral("a\nb.lck");
  }
  void lessonsOfAnyNameOpenAndEdit() {
    QFETCH(QByteArray, name);
    QFETCH(QString, shown);
#ifdef _WIN32
    if (shown != QString::fromUtf8(name)) QSKIP("Windows file names are Unicode, never bytes");
    if (shown.contains(u'\n')) QSKIP("Windows file names hold no line break");
    WriteBytes(LessonDir() / ToPath(shown), "C\xEDm\r\nabc\r\n");
#else
    WriteBytes(LessonDir() / name.toStdString(), "C\xEDm\r\nabc\r\n");
#endif
    const std::string previous = Cp1250FromPath(LessonDir() / "elozo.lck");
    IniFile(Startup().SettingsFile).WriteString("Defaults", "LastFile", previous);
    auto w = Open();
    Choose(*w, shown);
    QCOMPARE(test::Find<QLabel>(w, "Panel4")->text(), QStringLiteral("Pekto : Cím"));
    test::DialogAnswers editor;
    editor.Then(test::DialogAnswers::Reject());
    test::Find<QAction>(w, "aSzerkeszt")->trigger();  // Ctrl+E opens the editor on the lesson
    QCOMPARE(editor.Last().object, QStringLiteral("frm_Szerkeszt"));
    QVERIFY(w->close());
    QCOMPARE(IniFile(Startup().SettingsFile).ReadString("Defaults", "LastFile", ""), previous);
  }

  // Under a file-size limit a big save fails with the system's reason; the program lives on.
  void aSaveBeyondTheFileSizeLimitFails() {
    if (!test::FileSizeLimit::kAvailable) QSKIP(test::kNoFileSizeLimit);
    const test::FileSizeLimit limit(4096);
    const fs::path path = DataDir() / "nagy.lck";
    QVERIFY_THROWS_EXCEPTION(Error, WriteLessonFile(path, {"Nagy", {std::string(8192, 'a')}}));
  }

  // ---- pane font sizes ------------------------------------------------------------------------

  void paneFontSizesFromTheSettingsFileStayReadable_data() {
    QTest::addColumn<QString>("stored");
    QTest::addColumn<int>("shown");
    QTest::newRow("-5") << QStringLiteral("-5") << 14;
    QTest::newRow("0") << QStringLiteral("0") << 14;
    QTest::newRow("1") << QStringLiteral("1") << 6;
    QTest::newRow("100000") << QStringLiteral("100000") << 72;
    QTest::newRow("20") << QStringLiteral("20") << 20;
  }
  void paneFontSizesFromTheSettingsFileStayReadable() {
    QFETCH(QString, stored);
    QFETCH(int, shown);
    WriteBytes(Startup().SettingsFile, "[Defaults]\r\nFontSize=" + stored.toStdString() + "\r\n");
    {
      auto w = Open();
      for (const char* name : {"SynEdit1", "SynEdit2"}) {
        QCOMPARE(test::Find<TextPane>(w, name)->PaneFont().pointSize(), shown);
      }
      QVERIFY(w->close());
    }
    QCOMPARE(IniFile(Startup().SettingsFile).ReadInteger("Defaults", "FontSize", -1), shown);
  }

  void theFontDialogCannotChooseAnUnreadableSize() {
    auto w = Open();
    for (const auto& [chosen, shown] : {std::pair{2, 6}, std::pair{200, 72}, std::pair{30, 30}}) {
      test::DialogAnswers answers;
      answers.Then([chosen = chosen](QDialog& dialog) {
        auto& fonts = static_cast<QFontDialog&>(dialog);
        QFont font = fonts.currentFont();
        font.setPointSize(chosen);
        fonts.setCurrentFont(font);
        dialog.accept();
      });
      test::Find<QAction>(w, "aBetuTipus")->trigger();
      QCOMPARE(answers.Count(), 1);
      for (const char* name : {"SynEdit1", "SynEdit2"}) {
        QCOMPARE(test::Find<TextPane>(w, name)->PaneFont().pointSize(), shown);
      }
    }
    QVERIFY(w->close());
    QCOMPARE(IniFile(Startup().SettingsFile).ReadInteger("Defaults", "FontSize", -1), 30);
  }
};

PEKTO_TEST_MAIN(BadInputTest)

#include "test_badinput.moc"
