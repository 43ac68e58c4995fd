// File > Open only reads: while the file is being read, every descriptor the program holds on
// it is open for reading only; the kernel reports no write, attribute change or new file; and
// afterwards the bytes and the modification and change times are what they were. None of
// this depends on file permissions, so it holds when the tests run as root.

#include "TestSupport.h"

#include "shell/Startup.h"
#include "shell/TMain.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QtTest>

#include <fcntl.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The open flags of every descriptor of this process that refers to the file.
QList<int> openFlagsOf(const QString &path)
{
    QList<int> flags;
    const QByteArray wanted = QFile::encodeName(QFileInfo(path).canonicalFilePath());
    const QDir fds(QStringLiteral("/proc/self/fd"));
    for (const QString &fd : fds.entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot)) {
        char link[4096];
        const ssize_t n = ::readlink(QFile::encodeName(fds.filePath(fd)).constData(), link,
                                     sizeof link);
        if (n <= 0 || QByteArrayView(link, n) != wanted)
            continue;
        QFile info(QStringLiteral("/proc/self/fdinfo/") + fd);
        if (!info.open(QIODevice::ReadOnly))
            continue; // closed in between
        for (const QByteArray &line : info.readAll().split('\n'))
            if (line.startsWith("flags:"))
                flags << line.mid(6).trimmed().toInt(nullptr, 8);
    }
    return flags;
}

struct Times
{
    timespec modified;
    timespec changed;
    bool operator==(const Times &o) const
    {
        return modified.tv_sec == o.modified.tv_sec && modified.tv_nsec == o.modified.tv_nsec
            && changed.tv_sec == o.changed.tv_sec && changed.tv_nsec == o.changed.tv_nsec;
    }
};

Times timesOf(const QString &path)
{
    struct stat st;
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        qFatal("cannot stat %s", qPrintable(path));
    return {st.st_mtim, st.st_ctim};
}

QByteArray bytesOf(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        qFatal("cannot read %s", qPrintable(path));
    return f.readAll();
}

// Kernel file events on the configuration file and on its folder, gathered while it lives.
class FileEvents
{
public:
    FileEvents(const QString &file, const QString &folder)
        : m_fd(inotify_init1(IN_NONBLOCK | IN_CLOEXEC))
    {
        m_file = inotify_add_watch(m_fd, QFile::encodeName(file).constData(), IN_ALL_EVENTS);
        m_folder = inotify_add_watch(m_fd, QFile::encodeName(folder).constData(),
                                     IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO
                                             | IN_MODIFY | IN_ATTRIB | IN_CLOSE_WRITE);
    }
    ~FileEvents() { ::close(m_fd); }
    bool watching() const { return m_fd >= 0 && m_file >= 0 && m_folder >= 0; }

    // The events on the file, and those on anything else in its folder, or-ed together.
    std::pair<quint32, quint32> take()
    {
        quint32 onFile = 0, inFolder = 0;
        alignas(inotify_event) char buffer[64 * 1024];
        ssize_t got;
        while ((got = ::read(m_fd, buffer, sizeof buffer)) > 0) {
            for (char *p = buffer; p < buffer + got;) {
                const auto *e = reinterpret_cast<const inotify_event *>(p);
                // The folder's watch reports the file too, by name; only other names count.
                if (e->wd == m_file)
                    onFile |= e->mask;
                else if (e->len == 0 || QByteArray(e->name) != m_name)
                    inFolder |= e->mask;
                p += sizeof(inotify_event) + e->len;
            }
        }
        return {onFile, inFolder};
    }
    void setFileName(const QByteArray &name) { m_name = name; }

private:
    int m_fd;
    int m_file = -1;
    int m_folder = -1;
    QByteArray m_name;
};

} // namespace

class TestReadOnly final : public QObject
{
    Q_OBJECT

private slots:
    void openOnlyReads_data();
    void openOnlyReads();
};

void TestReadOnly::openOnlyReads_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("errors");

    const QByteArray sample = bytesOf(QStringLiteral(VOG_EXAMPLES "/sample.cfg"));
    QTest::newRow("sample configuration") << sample << 0644 << 0;
    QTest::newRow("without write permission") << sample << 0444 << 0;
    QTest::newRow("a bad number ends the reading early")
            << QByteArray("Name x\nAreafixMsgSize lots\nSysop y\n") << 0644 << 1;
    QTest::newRow("Ctrl-Z before the end")
            << QByteArray("Name x\n\x1aSysop y\n") + sample << 0644 << 0;
}

void TestReadOnly::openOnlyReads()
{
    QFETCH(QByteArray, content);
    QFETCH(int, mode);
    QFETCH(int, errors);

    ConfigFixture files;
    const QString path = files.write(content, QStringLiteral("tosser.cfg"));
    QVERIFY(::chmod(QFile::encodeName(path).constData(), mode_t(mode)) == 0);
    const Times before = timesOf(path);

    Program program;
    // The Configurator menu is enabled once the file is open and before its first line is
    // read: that is when the program's descriptors on the file are looked at.
    QList<int> flagsWhileReading;
    bool looked = false;
    QObject::connect(Main->N6->menuAction(), &QAction::changed, Main, [&] {
        if (Main->N6->menuAction()->isEnabled() && !looked) {
            looked = true;
            flagsWhileReading = openFlagsOf(path);
        }
    });

    FileEvents events(path, QFileInfo(path).absolutePath());
    events.setFileName(QByteArrayLiteral("tosser.cfg"));
    QVERIFY(events.watching());

    QCOMPARE(openConfig(path).size(), errors);

    QVERIFY(looked);
    QVERIFY(!flagsWhileReading.isEmpty());
    for (int flags : flagsWhileReading) {
        QCOMPARE(flags & O_ACCMODE, O_RDONLY);
        QCOMPARE(flags & O_APPEND, 0);
    }
    // Nothing stays open on the file once the command is done, however it ended.
    QCOMPARE(openFlagsOf(path), QList<int>());

    const auto [onFile, inFolder] = events.take();
    QVERIFY(onFile & IN_OPEN);
    QVERIFY(onFile & IN_CLOSE_NOWRITE); // closed, having been opened not for writing
    QCOMPARE(onFile & (IN_MODIFY | IN_ATTRIB | IN_CLOSE_WRITE | IN_DELETE_SELF | IN_MOVE_SELF),
             0u);
    QCOMPARE(inFolder, 0u); // no file made, renamed or removed beside it

    QVERIFY(timesOf(path) == before);
    QCOMPARE(bytesOf(path), content);
}

QTEST_MAIN(TestReadOnly)
#include "tst_readonly.moc"
