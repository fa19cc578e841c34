// The updater's two heavy paths beside the standard tools: ten 50 MB downloads in sequence from
// a local server beside "curl -o", and the "-a" compressor on a 500 MB file beside "gzip -9".
// Peak memory is reported as the process's (or the child's) maximum resident size. A hostile
// server's endless chunked answer is measured too: memory, and the window's longest stall, until
// the download is refused at its size cap.
#include <benchmark/benchmark.h>

#include "HTTPConnexion.h"
#include "QtComp.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <sys/resource.h>

namespace {

constexpr int FileCount = 10;
constexpr qint64 DownloadSize = 50ll * 1024 * 1024;
constexpr qint64 CompressSize = 500ll * 1024 * 1024;

QCoreApplication& app()
{
    static int argc = 1;
    static char name[] = "bench_updater";
    static char* argv[] = {name, nullptr};
    static QCoreApplication application(argc, argv);
    return application;
}

// Text-like data with some randomness: compresses about as well as program files do.
void writeData(const QString& path, qint64 size)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        std::exit(1);
    QByteArray block;
    quint32 seed = 12345;
    while (block.size() < 4 * 1024 * 1024) {
        seed = seed * 1664525u + 1013904223u;
        block += "symbol_" + QByteArray::number(seed % 5000) + (seed & 0x100 ? " call\n" : " jump\n");
    }
    for (qint64 done = 0; done < size; done += block.size())
        file.write(block.constData(), qMin<qint64>(block.size(), size - done));
}

long peakKiB(int who)
{
    rusage usage{};
    getrusage(who, &usage);
    return usage.ru_maxrss;
}

// A static-file server in its own process, so the client under test and curl meet the same one.
struct FileServer {
    FileServer()
    {
        for (int i = 0; i < FileCount; ++i)
            writeData(dir.filePath(QStringLiteral("f%1").arg(i)), DownloadSize);
        server.setWorkingDirectory(dir.path());
        server.start(QStringLiteral("python3"), {"-m", "http.server", "18931", "--bind", "127.0.0.1"});
        server.waitForStarted();
        QProcess probe;
        for (int tries = 0; tries < 100; ++tries) {
            probe.start(QStringLiteral("curl"), {"-s", "-o", "/dev/null", url(0)});
            probe.waitForFinished();
            if (probe.exitCode() == 0)
                break;
        }
    }
    ~FileServer()
    {
        server.kill();
        server.waitForFinished();
    }
    static QString url(int i) { return QStringLiteral("http://127.0.0.1:18931/f%1").arg(i); }
    QTemporaryDir dir;
    QProcess server;
};

FileServer& fileServer()
{
    static FileServer server;
    return server;
}

void BM_UpdaterDownload(benchmark::State& state)
{
    app();
    FileServer& server = fileServer();
    QTemporaryDir out;
    const long before = peakKiB(RUSAGE_SELF);
    for (auto _ : state) {
        for (int i = 0; i < FileCount; ++i) {
            HTTPConnexion http;
            QEventLoop loop;
            QObject::connect(&http, &HTTPConnexion::done, &loop, &QEventLoop::quit);
            http.initDownload(QUrl(server.url(i)), out.filePath(QStringLiteral("f%1").arg(i)));
            http.downloadFile(QIODevice::WriteOnly);
            loop.exec();
            if (http.getError())
                state.SkipWithError("download failed");
        }
    }
    state.SetBytesProcessed(state.iterations() * FileCount * DownloadSize);
    // Growth of the peak while downloading: flat when no body is buffered whole.
    state.counters["peak_growth_MiB"] = double(peakKiB(RUSAGE_SELF) - before) / 1024;
}
BENCHMARK(BM_UpdaterDownload)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

void BM_CurlDownload(benchmark::State& state)
{
    app();
    FileServer& server = fileServer();
    QTemporaryDir out;
    for (auto _ : state) {
        for (int i = 0; i < FileCount; ++i) {
            QProcess curl;
            curl.start(QStringLiteral("curl"), {"-s", "-o", out.filePath(QStringLiteral("f%1").arg(i)), server.url(i)});
            curl.waitForFinished(-1);
        }
    }
    state.SetBytesProcessed(state.iterations() * FileCount * DownloadSize);
}
BENCHMARK(BM_CurlDownload)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

// A server in its own process that answers every request with a chunked body that never ends,
// sent as fast as the client takes it.
struct EndlessServer {
    EndlessServer()
    {
        const char* script = R"(
import http.server, socketserver
class H(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    def do_GET(self):
        self.send_response(200)
        self.send_header("Transfer-Encoding", "chunked")
        self.end_headers()
        chunk = b"%x\r\n" % 65536 + b"e" * 65536 + b"\r\n"
        try:
            while True:
                self.wfile.write(chunk)
        except Exception:
            pass
    def log_message(self, *a):
        pass
socketserver.TCPServer.allow_reuse_address = True
socketserver.ThreadingTCPServer(("127.0.0.1", 18932), H).serve_forever()
)";
        server.start(QStringLiteral("python3"), {"-c", QString::fromLatin1(script)});
        server.waitForStarted();
        QProcess probe;
        for (int tries = 0; tries < 100; ++tries) {
            probe.start(QStringLiteral("curl"), {"-s", "-o", "/dev/null", "--max-filesize", "1000", "-m", "1", url()});
            probe.waitForFinished();
            if (probe.exitCode() == 63 || probe.exitCode() == 28)
                break; // answered: too large, or still sending at the time limit
        }
    }
    ~EndlessServer()
    {
        server.kill();
        server.waitForFinished();
    }
    static QString url() { return QStringLiteral("http://127.0.0.1:18932/endless"); }
    QProcess server;
};

// The download refused at the updater's own 2 GiB cap, as the update window meets it: the peak
// memory the process reached and the longest time its event loop went without a 10 ms timer.
void BM_UpdaterEndlessChunkedDownload(benchmark::State& state)
{
    app();
    static EndlessServer server;
    QTemporaryDir out;
    qint64 longestStall = 0;
    bool refused = true;
    for (auto _ : state) {
        HTTPConnexion http;
        QEventLoop loop;
        QObject::connect(&http, &HTTPConnexion::done, &loop, &QEventLoop::quit);
        QElapsedTimer clock;
        QTimer tick;
        tick.setInterval(10);
        QObject::connect(&tick, &QTimer::timeout, [&] { longestStall = qMax(longestStall, clock.restart()); });
        HTTPConnexion::setStallInterval(60000);
        http.initDownload(QUrl(server.url()), out.filePath(QStringLiteral("endless")));
        clock.start();
        tick.start();
        http.downloadFile(QIODevice::WriteOnly);
        loop.exec();
        tick.stop();
        refused = refused && http.getError() && http.failureCause().contains(QLatin1String("more than allowed"));
    }
    if (!refused)
        state.SkipWithError("the endless download was not refused at its cap");
    state.SetBytesProcessed(state.iterations() * HTTPConnexion::DefaultMaxSize);
    state.counters["peak_MiB"] = double(peakKiB(RUSAGE_SELF)) / 1024;
    state.counters["longest_stall_ms"] = double(longestStall);
}
BENCHMARK(BM_UpdaterEndlessChunkedDownload)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

struct BigFile {
    BigFile() { writeData(dir.filePath(QStringLiteral("big")), CompressSize); }
    QString path() const { return dir.filePath(QStringLiteral("big")); }
    QTemporaryDir dir;
};

BigFile& bigFile()
{
    static BigFile file;
    return file;
}

void BM_QtCompLevel9(benchmark::State& state)
{
    const QString source = bigFile().path();
    const QString target = source + QStringLiteral(".qz");
    const long before = peakKiB(RUSAGE_SELF);
    for (auto _ : state) {
        if (!QtComp::compressFile(source, target, 9))
            state.SkipWithError("compression failed");
    }
    state.SetBytesProcessed(state.iterations() * CompressSize);
    state.counters["peak_growth_MiB"] = double(peakKiB(RUSAGE_SELF) - before) / 1024;
    state.counters["ratio"] = double(QFile(target).size()) / CompressSize;
}
BENCHMARK(BM_QtCompLevel9)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

void BM_Gzip9(benchmark::State& state)
{
    const QString source = bigFile().path();
    for (auto _ : state) {
        QProcess gzip;
        gzip.setStandardOutputFile(source + QStringLiteral(".gz"));
        gzip.start(QStringLiteral("gzip"), {"-9", "-c", source});
        gzip.waitForFinished(-1);
    }
    state.SetBytesProcessed(state.iterations() * CompressSize);
    state.counters["peak_MiB"] = double(peakKiB(RUSAGE_CHILDREN)) / 1024;
    state.counters["ratio"] = double(QFile(source + QStringLiteral(".gz")).size()) / CompressSize;
}
BENCHMARK(BM_Gzip9)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

} // namespace
