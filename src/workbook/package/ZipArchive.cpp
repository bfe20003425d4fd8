#include "ZipArchive.h"

#include "workbook/cells/WorkbookError.h"

#include <QFile>
#include <QFileInfo>

#include <zip.h>

#include <memory>

namespace {

QString libzipMessage(int code)
{
    zip_error_t error;
    zip_error_init_with_code(&error, code);
    const QString text = QString::fromUtf8(zip_error_strerror(&error));
    zip_error_fini(&error);
    return text;
}

struct ArchiveCloser
{
    void operator()(zip_t *archive) const { zip_discard(archive); }
};

struct FileCloser
{
    void operator()(zip_file_t *file) const { zip_fclose(file); }
};

[[noreturn]] void damaged(const QString &path, const QString &detail)
{
    throw WorkbookError(QStringLiteral("Die Datei \"%1\" ist beschädigt und kann nicht gelesen werden (%2).")
                            .arg(QFileInfo(path).fileName(), detail));
}

[[noreturn]] void tooLarge(const QString &path)
{
    throw WorkbookError(QStringLiteral("Die Datei \"%1\" ist zu groß: entpackt überschreitet sie die Grenze von "
                                       "%2 MB oder %3 Teilen. Sie wird nicht gelesen.")
                            .arg(QFileInfo(path).fileName())
                            .arg(SheetLimits::MaxPackageBytes / (1024 * 1024))
                            .arg(SheetLimits::MaxPackageEntries));
}

} // namespace

std::vector<ZipEntry> ZipArchive::read(const QString &path, qint64 maxBytes, int maxEntries)
{
    const QString fileName = QFileInfo(path).fileName();
    if (!QFileInfo(path).isFile())
        throw WorkbookError(QStringLiteral("Die Datei \"%1\" wurde nicht gefunden.").arg(path));

    int code = 0;
    std::unique_ptr<zip_t, ArchiveCloser> archive(zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &code));
    if (!archive) {
        if (code == ZIP_ER_NOZIP || code == ZIP_ER_INCONS)
            throw WorkbookError(QStringLiteral("Die Datei \"%1\" ist keine Arbeitsmappe im Office-Open-XML-Format "
                                               "(kein gültiges ZIP-Archiv).")
                                    .arg(fileName));
        if (code == ZIP_ER_OPEN || code == ZIP_ER_READ)
            throw WorkbookError(
                QStringLiteral("Die Datei \"%1\" kann nicht geöffnet werden (%2).").arg(path, libzipMessage(code)));
        damaged(path, libzipMessage(code));
    }

    const zip_int64_t count = zip_get_num_entries(archive.get(), 0);
    if (count < 0)
        damaged(path, QStringLiteral("kein Inhaltsverzeichnis"));
    if (count > maxEntries)
        tooLarge(path);

    // The sizes in the directory are checked first, then each entry is read
    // no further than its stated size, so a file lying about its sizes is
    // caught as well.
    qint64 total = 0;
    std::vector<ZipEntry> entries;
    entries.reserve(size_t(count));
    for (zip_int64_t i = 0; i < count; ++i) {
        zip_stat_t st;
        zip_stat_init(&st);
        if (zip_stat_index(archive.get(), zip_uint64_t(i), 0, &st) != 0)
            damaged(path, QString::fromUtf8(zip_strerror(archive.get())));
        if (!(st.valid & ZIP_STAT_NAME) || !(st.valid & ZIP_STAT_SIZE))
            damaged(path, QStringLiteral("Eintrag ohne Namen oder Größe"));
        const QString name = QString::fromUtf8(st.name);
        if (name.endsWith(QLatin1Char('/')))
            continue;
        if (st.size > zip_uint64_t(maxBytes) || total + qint64(st.size) > maxBytes)
            tooLarge(path);
        total += qint64(st.size);

        std::unique_ptr<zip_file_t, FileCloser> file(zip_fopen_index(archive.get(), zip_uint64_t(i), 0));
        if (!file)
            damaged(path, QString::fromUtf8(zip_strerror(archive.get())));
        QByteArray data;
        data.resize(qsizetype(st.size));
        zip_int64_t done = 0;
        while (done < zip_int64_t(st.size)) {
            const zip_int64_t n = zip_fread(file.get(), data.data() + done, st.size - zip_uint64_t(done));
            if (n < 0)
                damaged(path, QString::fromUtf8(zip_file_strerror(file.get())));
            if (n == 0)
                break;
            done += n;
        }
        if (done != zip_int64_t(st.size))
            damaged(path, QStringLiteral("Eintrag \"%1\" ist kürzer als angegeben").arg(name));
        char extra = 0;
        if (zip_fread(file.get(), &extra, 1) != 0)
            damaged(path, QStringLiteral("Eintrag \"%1\" ist länger als angegeben").arg(name));
        entries.push_back({name, std::move(data)});
    }
    return entries;
}

QByteArray ZipArchive::write(const std::vector<ZipEntry> &entries, int level)
{
    const auto fail = [](const QString &detail) -> QByteArray {
        throw WorkbookError(QStringLiteral("Die Arbeitsmappe kann nicht gepackt werden (%1).").arg(detail));
    };

    zip_error_t error;
    zip_error_init(&error);
    zip_source_t *target = zip_source_buffer_create(nullptr, 0, 0, &error);
    if (!target)
        return fail(QString::fromUtf8(zip_error_strerror(&error)));
    zip_source_keep(target);
    const auto freeTarget = std::unique_ptr<zip_source_t, void (*)(zip_source_t *)>(target, zip_source_free);

    zip_t *archive = zip_open_from_source(target, ZIP_TRUNCATE, &error);
    if (!archive)
        return fail(QString::fromUtf8(zip_error_strerror(&error)));
    std::unique_ptr<zip_t, ArchiveCloser> guard(archive);

    for (const ZipEntry &entry : entries) {
        zip_source_t *source = zip_source_buffer(archive, entry.data.constData(), zip_uint64_t(entry.data.size()), 0);
        if (!source)
            return fail(QString::fromUtf8(zip_strerror(archive)));
        const zip_int64_t index = zip_file_add(archive, entry.name.toUtf8().constData(), source, ZIP_FL_ENC_UTF_8);
        if (index < 0) {
            zip_source_free(source);
            return fail(QString::fromUtf8(zip_strerror(archive)));
        }
        if (zip_set_file_compression(archive, zip_uint64_t(index), ZIP_CM_DEFLATE, zip_uint32_t(level)) != 0)
            return fail(QString::fromUtf8(zip_strerror(archive)));
    }
    guard.release();
    if (zip_close(archive) != 0) {
        const QString detail = QString::fromUtf8(zip_strerror(archive));
        zip_discard(archive);
        return fail(detail);
    }

    if (zip_source_open(target) != 0)
        return fail(QString::fromUtf8(zip_error_strerror(zip_source_error(target))));
    zip_source_seek(target, 0, SEEK_END);
    const zip_int64_t size = zip_source_tell(target);
    zip_source_seek(target, 0, SEEK_SET);
    QByteArray bytes;
    bytes.resize(qsizetype(size));
    const zip_int64_t read = zip_source_read(target, bytes.data(), zip_uint64_t(size));
    zip_source_close(target);
    if (read != size)
        return fail(QStringLiteral("Puffer unvollständig"));
    return bytes;
}
