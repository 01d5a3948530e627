// Runs a fuzz target's entry point once on every file named, or on every file of every folder
// named, outside libFuzzer: the committed corpora and every input that once failed are replayed
// this way by the test suite, in the normal and the sanitizer builds.
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <cstdint>
#include <cstdio>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size);

namespace {

bool runOn(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(path));
        return false;
    }
    const QByteArray bytes = file.readAll();
    LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t *>(bytes.constData()), std::size_t(bytes.size()));
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    // Every path is made absolute first: a target may change the working folder, as opening a
    // project does.
    QStringList paths;
    for (int i = 1; i < argc; ++i) {
        const QFileInfo arg(QString::fromLocal8Bit(argv[i]));
        if (!arg.isDir()) {
            paths << arg.absoluteFilePath();
            continue;
        }
        QDirIterator files(arg.absoluteFilePath(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (files.hasNext())
            paths << files.next();
    }
    paths.removeIf([](const QString &path) { return path.endsWith(QLatin1String("/.gitattributes")); });
    bool readable = true;
    for (const QString &path : paths)
        readable = runOn(path) && readable;
    std::printf("replayed %d inputs\n", int(paths.size()));
    return readable && !paths.isEmpty() ? 0 : 1;
}
