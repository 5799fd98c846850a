// Firefox session stores that expand to far more than they hold: each is read in a child process whose
// peak memory is measured, and must be refused, or read, within a few times the decompressed-size cap.

#include <lz4.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "SessionTestFiles.h"
#include "desktop/CFirefoxSessionReader.h"

namespace {

QByteArray mozLz4(const std::string& json) { return sessiontest::mozLz4(QByteArray::fromStdString(json)); }

// `prefix`, then "{}," repeated to about `size` bytes, then `suffix`.
std::string emptyObjects(const std::string& prefix, std::size_t size, const std::string& suffix) {
    std::string json = prefix;
    json.reserve(size + suffix.size() + 2);
    while (json.size() + 3 < size) {
        json += "{},";
    }
    return json + "{}" + suffix;
}

std::uint64_t statusKiB(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(field, 0) == 0) {
            return std::stoull(line.substr(std::strlen(field)));
        }
    }
    return 0;
}

struct Outcome {
    bool read = false;
    std::string error;
    std::uint64_t peakKiB = 0;  // the child's peak resident memory above what it started with
    std::uint64_t maxRssKiB = 0;  // getrusage's ru_maxrss of the child, for the record
};

// Reads `path` in a child process with its address space limited, so that a bomb cannot take the machine.
Outcome readInChild(const QString& path) {
    int channel[2];
    if (::pipe(channel) != 0) {
        return {};
    }
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(channel[0]);
        const std::uint64_t start = statusKiB("VmRSS:");
        std::ofstream("/proc/self/clear_refs") << "5";  // restarts the peak count at the current size
        rlimit limit{};
        limit.rlim_cur = limit.rlim_max = statusKiB("VmSize:") * 1024 + (3ull << 30);
        ::setrlimit(RLIMIT_AS, &limit);
        std::string report;
        try {
            CSessionError error;
            const bool read = CFirefoxSessionReader::readFile(path.toStdString(), &error).has_value();
            report = (read ? "1 " : "0 ") + error.message();
        } catch (const std::exception& thrown) {
            report = std::string("0 threw ") + thrown.what();
        }
        rusage usage{};
        ::getrusage(RUSAGE_SELF, &usage);
        const std::uint64_t peak = statusKiB("VmHWM:");
        report = std::to_string(peak > start ? peak - start : 0) + " " + std::to_string(usage.ru_maxrss) + " " + report;
        [[maybe_unused]] const auto written = ::write(channel[1], report.data(), report.size());
        ::_exit(0);
    }
    ::close(channel[1]);
    std::string report;
    char buffer[4096];
    ssize_t got = 0;
    while ((got = ::read(channel[0], buffer, sizeof buffer)) > 0) {
        report.append(buffer, static_cast<std::size_t>(got));
    }
    ::close(channel[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    Outcome outcome;
    std::istringstream fields(report);
    char read = '0';
    if (!(fields >> outcome.peakKiB >> outcome.maxRssKiB >> read)) {
        outcome.error = "the child died (status " + std::to_string(status) + ")";
        return outcome;
    }
    outcome.read = read == '1';
    std::getline(fields >> std::ws, outcome.error);
    return outcome;
}

}  // namespace

class SessionBombTest final : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void bombsAreRefusedOrReadWithinTheMemoryBound();
};

void SessionBombTest::bombsAreRefusedOrReadWithinTheMemoryBound() {
    QTemporaryDir dir;
    constexpr std::uint64_t kCap = 64ull << 20;  // the most a session store may expand to
    struct Bomb {
        const char* name;
        std::string (*json)();
        bool reads;
        std::string error;  // the end of the expected error message
    };
    const Bomb bombs[] = {
        // 100 MB of empty tabs in about 400 KB: the declared size is over the cap.
        {"over the cap", [] { return emptyObjects(R"({"windows":[{"tabs":[)", 100'000'000, "]}]}"); }, false,
         "declared size 100000005 is more than the 67108864 bytes a session store may hold"},
        // Just under the cap, millions of empty tabs: refused at the first tab past the limit.
        {"tabs", [] { return emptyObjects(R"({"windows":[{"tabs":[)", kCap - 64, "]}]}"); }, false,
         "at byte 300018: more than 100000 windows and tabs"},
        // The same bytes in a part that is only skipped: read, in bounded memory.
        {"closed windows", [] { return emptyObjects(R"({"_closedWindows":[)", kCap - 64, R"(],"windows":[]})"); },
         true, ""},
    };
    for (const Bomb& bomb : bombs) {
        const QString path = dir.filePath(QString::fromLatin1(bomb.name) + QStringLiteral(".jsonlz4"));
        {
            const QByteArray file = mozLz4(bomb.json());
            QVERIFY(file.size() < 500'000);
            QFile out(path);
            QVERIFY(out.open(QIODevice::WriteOnly));
            QCOMPARE(out.write(file), file.size());
        }
        const Outcome outcome = readInChild(path);
        std::printf("%s: %s, peak %llu KiB above the start (ru_maxrss %llu KiB)\n", bomb.name,
                    outcome.read ? "read" : outcome.error.c_str(), static_cast<unsigned long long>(outcome.peakKiB),
                    static_cast<unsigned long long>(outcome.maxRssKiB));
        QCOMPARE(outcome.read, bomb.reads);
        if (!bomb.reads) {
            QVERIFY2(QString::fromStdString(outcome.error).endsWith(QString::fromStdString(bomb.error)),
                     outcome.error.c_str());
            QVERIFY(outcome.error.rfind(path.toStdString(), 0) == 0);
        }
        QVERIFY2(outcome.peakKiB * 1024 <= 4 * kCap, bomb.name);
    }
}

QTEST_GUILESS_MAIN(SessionBombTest)
#include "SessionBombTest.moc"
