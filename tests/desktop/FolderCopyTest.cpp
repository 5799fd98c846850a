// Copying items' files into a folder: what a copy holds, what it leaves out, and that a copy that cannot be
// finished leaves nothing behind and says why.

#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>

#include "desktop/CShellOperations.h"
#include "platform/CFolderCopy.h"

namespace fs = std::filesystem;

namespace {

void writeBytes(const std::string& path, std::size_t size) {
    std::ofstream(path, std::ios::binary) << std::string(size, 'q');
}

std::vector<std::string> namesIn(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

// Runs the copy in a child process whose files may not grow past `limit` bytes (a full disk as the
// writer meets it: write fails with EFBIG), and returns the failure lines it reported.
std::string copyWithFileSizeLimit(const std::vector<std::string>& paths, const std::string& folder, rlim_t limit) {
    int channel[2];
    if (::pipe(channel) != 0) {
        return "no pipe";
    }
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(channel[0]);
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit size{limit, limit};
        ::setrlimit(RLIMIT_FSIZE, &size);
        std::string report;
        for (const CShellFailure& failure : CShellOperations::copyIntoFolder(paths, folder, nullptr)) {
            report += failure.path + " " + failure.what + "\n";
        }
        [[maybe_unused]] const auto written = ::write(channel[1], report.data(), report.size());
        ::_exit(0);
    }
    ::close(channel[1]);
    std::string report;
    char buffer[1024];
    ssize_t got = 0;
    while ((got = ::read(channel[0], buffer, sizeof buffer)) > 0) {
        report.append(buffer, static_cast<std::size_t>(got));
    }
    ::close(channel[0]);
    ::waitpid(child, nullptr, 0);
    return report;
}

}  // namespace

class FolderCopyTest final : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void copiesFoldersWithLinksAsLinksAndSkipsSpecialFiles();
    void aCopyThatCannotFinishLeavesNothingBehind();
};

void FolderCopyTest::copiesFoldersWithLinksAsLinksAndSkipsSpecialFiles() {
    QTemporaryDir dir;
    const std::string root = dir.path().toStdString();
    const std::string source = root + "/資料";
    const std::string into = root + "/into";
    fs::create_directories(source + "/sub");
    fs::create_directories(source + "/locked");
    fs::create_directories(into);
    writeBytes(source + "/a.txt", 3000);
    writeBytes(source + "/sub/b.txt", 10);
    writeBytes(source + "/locked/c.txt", 20);
    QCOMPARE(::mkfifo((source + "/pipe").c_str(), 0600), 0);
    fs::create_symlink("a.txt", source + "/link");
    ::chmod((source + "/locked").c_str(), 0500);
    ::chmod((source + "/a.txt").c_str(), 0640);
    fs::create_directory_symlink(source + "/sub", root + "/folder link");
    writeBytes(into + "/資料", 1);  // taken: the folder's copy gets the next name

    std::vector<std::string> copies;
    const auto failures =
        CShellOperations::copyIntoFolder({source, root + "/folder link", source + "/pipe"}, into, &copies);
    // The FIFO is named as left out, twice: inside the folder and as an item of its own.
    QCOMPARE(failures.size(), std::size_t{2});
    QCOMPARE(failures[0].path, source + "/pipe");
    QCOMPARE(failures[1].path, source + "/pipe");
    QVERIFY(failures[0].what.find("特殊なファイル") != std::string::npos);
    QCOMPARE(copies, (std::vector<std::string>{into + "/資料(2)", into + "/folder link"}));

    const std::string copy = into + "/資料(2)";
    QCOMPARE(namesIn(copy), (std::vector<std::string>{"a.txt", "link", "locked", "sub"}));
    QCOMPARE(fs::file_size(copy + "/a.txt"), std::uintmax_t{3000});
    QCOMPARE(fs::file_size(copy + "/sub/b.txt"), std::uintmax_t{10});
    QCOMPARE(fs::file_size(copy + "/locked/c.txt"), std::uintmax_t{20});
    QVERIFY(fs::is_symlink(copy + "/link"));
    QCOMPARE(fs::read_symlink(copy + "/link").string(), std::string("a.txt"));
    QCOMPARE(fs::status(copy + "/locked").permissions() & fs::perms::all, fs::perms(0500));
    QCOMPARE(fs::status(copy + "/a.txt").permissions() & fs::perms::all, fs::perms(0640));
    QCOMPARE(fs::last_write_time(copy + "/a.txt"), fs::last_write_time(source + "/a.txt"));
    QVERIFY(fs::is_symlink(into + "/folder link"));
    QCOMPARE(fs::read_symlink(into + "/folder link").string(), source + "/sub");
    QCOMPARE(namesIn(into), (std::vector<std::string>{"folder link", "資料", "資料(2)"}));
    ::chmod((source + "/locked").c_str(), 0700);
    ::chmod((copy + "/locked").c_str(), 0700);
}

void FolderCopyTest::aCopyThatCannotFinishLeavesNothingBehind() {
    QTemporaryDir dir;
    const std::string root = dir.path().toStdString();
    const std::string into = root + "/into";
    fs::create_directories(root + "/folder/inner");
    fs::create_directories(into);
    writeBytes(root + "/big.bin", 2 << 20);
    writeBytes(root + "/folder/small.txt", 100);
    writeBytes(root + "/folder/inner/big.bin", 2 << 20);

    // Each copy runs out of room part way: the reason is the full disk's, and no partial file or folder,
    // under its name or any other, is left in the destination.
    const std::string report =
        copyWithFileSizeLimit({root + "/big.bin", root + "/folder"}, into, 1 << 20);
    QCOMPARE(namesIn(into), std::vector<std::string>{});
    const std::string reason = "ファイルが大きすぎるため書き込めません。";
    QCOMPARE(report, root + "/big.bin " + reason + "\n" + root + "/folder " + reason + "\n");

    // The same copy with room to spare is whole.
    QCOMPARE(copyWithFileSizeLimit({root + "/big.bin", root + "/folder"}, into, RLIM_INFINITY), std::string());
    QCOMPARE(namesIn(into), (std::vector<std::string>{"big.bin", "folder"}));
    QCOMPARE(fs::file_size(into + "/folder/inner/big.bin"), std::uintmax_t{2 << 20});
    QCOMPARE(QString::fromStdString(CFolderCopy::reasonOf(ENOSPC)), QStringLiteral("ディスクの空き容量が不足しています。"));
}

QTEST_GUILESS_MAIN(FolderCopyTest)
#include "FolderCopyTest.moc"
