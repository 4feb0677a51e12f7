// Runs a fuzz target over every file kept for it: the inputs that once broke it, and its
// seeds. Without a fuzzer the regressions run with the ordinary tests.
#include <QDir>
#include <QFile>

#include <cstdint>
#include <cstdio>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size);

int main(int argc, char** argv)
{
    int files = 0;
    for (int i = 1; i < argc; ++i) {
        const QDir dir(QString::fromLocal8Bit(argv[i]));
        for (const QString& name : dir.entryList(QDir::Files)) {
            QFile file(dir.filePath(name));
            if (!file.open(QIODevice::ReadOnly))
                return 1;
            const QByteArray data = file.readAll();
            LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(data.constData()), std::size_t(data.size()));
            ++files;
        }
    }
    std::printf("%d inputs\n", files);
    return 0;
}
