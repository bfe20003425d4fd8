#include "ZipArchive.h"

#include "workbook/cells/WorkbookError.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>

#include <zip.h>

#include <algorithm>
#include <cstring>
#include <ctime>
#include <memory>

namespace tannbuch {

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

// An entry with a streamed rest, read by the archive while it packs: the
// entry's bytes first, then the pieces of the rest as they are made.
class StreamedEntry
{
public:
    explicit StreamedEntry(const ZipEntry &entry)
        : m_entry(entry)
        , m_made(std::time(nullptr))
    {
        zip_error_init(&m_error);
    }
    ~StreamedEntry() { zip_error_fini(&m_error); }
    StreamedEntry(const StreamedEntry &) = delete;
    StreamedEntry &operator=(const StreamedEntry &) = delete;

    static zip_int64_t callback(void *self, void *data, zip_uint64_t length, zip_source_cmd_t command)
    {
        return static_cast<StreamedEntry *>(self)->answer(data, length, command);
    }

private:
    zip_int64_t answer(void *data, zip_uint64_t length, zip_source_cmd_t command)
    {
        switch (command) {
        case ZIP_SOURCE_OPEN:
            m_entry.rest->start();
            m_piece = m_entry.data;
            m_offset = 0;
            return 0;
        case ZIP_SOURCE_READ:
            return read(static_cast<char *>(data), length);
        case ZIP_SOURCE_CLOSE:
            m_piece = QByteArray();
            return 0;
        case ZIP_SOURCE_STAT:
            return stat(data, length);
        case ZIP_SOURCE_ERROR:
            return zip_error_to_data(&m_error, data, length);
        case ZIP_SOURCE_FREE:
            delete this;
            return 0;
        case ZIP_SOURCE_SUPPORTS:
            return ZIP_SOURCE_SUPPORTS_READABLE;
        default:
            zip_error_set(&m_error, ZIP_ER_OPNOTSUPP, 0);
            return -1;
        }
    }

    // Copies from the current piece, fetching the next one when it is used
    // up. The rest is made by code that does not fail; should it throw all
    // the same, the archive reports an error instead of the exception
    // crossing the library.
    zip_int64_t read(char *data, zip_uint64_t length)
    {
        try {
            while (m_offset == m_piece.size()) {
                m_offset = 0;
                if (!m_entry.rest->next(m_piece)) {
                    m_piece = QByteArray();
                    return 0;
                }
            }
        } catch (...) {
            zip_error_set(&m_error, ZIP_ER_INTERNAL, 0);
            return -1;
        }
        const qsizetype n = qsizetype(std::min<zip_uint64_t>(length, zip_uint64_t(m_piece.size() - m_offset)));
        std::memcpy(data, m_piece.constData() + m_offset, size_t(n));
        m_offset += n;
        return n;
    }

    // The sizes and the stored form a buffer in memory states, so that the
    // entry's header comes out as for one.
    zip_int64_t stat(void *data, zip_uint64_t length)
    {
        zip_stat_t *st = ZIP_SOURCE_GET_ARGS(zip_stat_t, data, length, &m_error);
        if (!st)
            return -1;
        zip_stat_init(st);
        st->mtime = m_made;
        st->size = zip_uint64_t(m_entry.data.size() + m_entry.rest->size());
        st->comp_size = st->size;
        st->comp_method = ZIP_CM_STORE;
        st->encryption_method = ZIP_EM_NONE;
        st->valid
            = ZIP_STAT_MTIME | ZIP_STAT_SIZE | ZIP_STAT_COMP_SIZE | ZIP_STAT_COMP_METHOD | ZIP_STAT_ENCRYPTION_METHOD;
        return sizeof(zip_stat_t);
    }

    const ZipEntry &m_entry;
    const time_t m_made;
    QByteArray m_piece; // the bytes being read: the entry's own, then a piece of its rest
    qsizetype m_offset = 0;
    zip_error_t m_error;
};

// The archive's source for one entry: its bytes in memory, or read as they
// are made when the entry has a streamed rest.
zip_source_t *sourceOf(zip_t *archive, const ZipEntry &entry)
{
    if (!entry.rest)
        return zip_source_buffer(archive, entry.data.constData(), zip_uint64_t(entry.data.size()), 0);
    auto *streamed = new StreamedEntry(entry);
    zip_source_t *source = zip_source_function(archive, &StreamedEntry::callback, streamed);
    if (!source)
        delete streamed;
    return source;
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

namespace {

[[noreturn]] void packingFailed(const QString &detail)
{
    throw WorkbookError(QStringLiteral("Die Arbeitsmappe kann nicht gepackt werden (%1).").arg(detail));
}

struct SourceFreer
{
    void operator()(zip_source_t *source) const { zip_source_free(source); }
};
using SourcePtr = std::unique_ptr<zip_source_t, SourceFreer>;

// The entries packed into an archive in memory.
SourcePtr packed(const std::vector<ZipEntry> &entries, int level)
{
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t *target = zip_source_buffer_create(nullptr, 0, 0, &error);
    if (!target)
        packingFailed(QString::fromUtf8(zip_error_strerror(&error)));
    zip_source_keep(target);
    SourcePtr kept(target);

    zip_t *archive = zip_open_from_source(target, ZIP_TRUNCATE, &error);
    if (!archive)
        packingFailed(QString::fromUtf8(zip_error_strerror(&error)));
    std::unique_ptr<zip_t, ArchiveCloser> guard(archive);

    for (const ZipEntry &entry : entries) {
        zip_source_t *source = sourceOf(archive, entry);
        if (!source)
            packingFailed(QString::fromUtf8(zip_strerror(archive)));
        const zip_int64_t index = zip_file_add(archive, entry.name.toUtf8().constData(), source, ZIP_FL_ENC_UTF_8);
        if (index < 0) {
            zip_source_free(source);
            packingFailed(QString::fromUtf8(zip_strerror(archive)));
        }
        if (zip_set_file_compression(archive, zip_uint64_t(index), ZIP_CM_DEFLATE, zip_uint32_t(level)) != 0)
            packingFailed(QString::fromUtf8(zip_strerror(archive)));
    }
    guard.release();
    if (zip_close(archive) != 0) {
        const QString detail = QString::fromUtf8(zip_strerror(archive));
        zip_discard(archive);
        packingFailed(detail);
    }
    return kept;
}

void writeAll(QIODevice &device, const char *data, qsizetype size)
{
    for (qsizetype done = 0; done < size;) {
        const qint64 written = device.write(data + done, size - done);
        if (written <= 0)
            throw WorkbookError(QStringLiteral("Schreibfehler: %1").arg(device.errorString()));
        done += qsizetype(written);
    }
}

} // namespace

void ZipArchive::write(const std::vector<ZipEntry> &entries, QIODevice &device, int level)
{
    const SourcePtr archive = packed(entries, level);
    if (zip_source_open(archive.get()) != 0)
        packingFailed(QString::fromUtf8(zip_error_strerror(zip_source_error(archive.get()))));
    const auto closer = [](zip_source_t *source) { zip_source_close(source); };
    const std::unique_ptr<zip_source_t, decltype(closer)> open(archive.get(), closer);
    QByteArray piece(1 << 20, Qt::Uninitialized);
    for (;;) {
        const zip_int64_t n = zip_source_read(archive.get(), piece.data(), zip_uint64_t(piece.size()));
        if (n < 0)
            packingFailed(QStringLiteral("Puffer unvollständig"));
        if (n == 0)
            return;
        writeAll(device, piece.constData(), qsizetype(n));
    }
}

QByteArray ZipArchive::write(const std::vector<ZipEntry> &entries, int level)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    write(entries, buffer, level);
    return bytes;
}

} // namespace tannbuch
