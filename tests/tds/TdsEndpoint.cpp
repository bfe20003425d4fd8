#include "TdsEndpoint.h"

#include "HostTypes.h"

#include "db/Backend.h"
#include "db/DbError.h"
#include "db/SqlTokenizer.h"
#include "db/SqliteBackend.h"
#include "text/Windows1252.h"

#include <QDate>
#include <QDateTime>
#include <QHash>
#include <QRegularExpression>
#include <QScopeGuard>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <stdexcept>
#include <string>

namespace tannbuch {

using namespace Qt::StringLiterals;

namespace tds {

namespace {

// Message types of the packet header.
constexpr uint8_t SqlBatch = 0x01;
constexpr uint8_t TabularResult = 0x04;
constexpr uint8_t Attention = 0x06;
constexpr uint8_t Login7 = 0x10;
constexpr uint8_t PreLogin = 0x12;

// Tokens.
constexpr uint8_t ColMetadata = 0x81;
constexpr uint8_t ErrorToken = 0xAA;
constexpr uint8_t InfoToken = 0xAB;
constexpr uint8_t LoginAck = 0xAD;
constexpr uint8_t RowToken = 0xD1;
constexpr uint8_t EnvChange = 0xE3;
constexpr uint8_t DoneToken = 0xFD;

// DONE status bits.
constexpr uint16_t DoneFinal = 0x0000;
constexpr uint16_t DoneMore = 0x0001;
constexpr uint16_t DoneError = 0x0002;
constexpr uint16_t DoneCount = 0x0010;
constexpr uint16_t DoneAttention = 0x0020;
constexpr uint16_t SelectCommand = 0xC1;

constexpr int PacketSize = 4096;
// SQL_Latin1_General_CP1_CI_AS: varchar data is Windows-1252.
constexpr uint8_t Collation[5] = {0x09, 0x04, 0xD0, 0x00, 0x34};

class Bytes
{
public:
    std::string data;

    void u8(uint8_t v) { data.push_back(char(v)); }
    // n bytes of v, least significant first (the wire's byte order).
    void le(uint64_t v, int n)
    {
        for (int i = 0; i < n; ++i)
            u8(uint8_t(v >> (8 * i)));
    }
    void u16(uint16_t v) { le(v, 2); }
    void u32(uint32_t v) { le(v, 4); }
    void u64(uint64_t v) { le(v, 8); }
    void raw(const void *p, size_t n) { data.append(static_cast<const char *>(p), n); }
    void utf16(const QString &s) { raw(s.utf16(), size_t(s.size()) * 2); }
    // Text with a one-byte and a two-byte length in characters.
    void bText(const QString &s)
    {
        u8(uint8_t(s.size()));
        utf16(s);
    }
    void usText(const QString &s)
    {
        u16(uint16_t(s.size()));
        utf16(s);
    }
    // A token with a two-byte length before its body.
    void sized(uint8_t token, const Bytes &body)
    {
        u8(token);
        u16(uint16_t(body.data.size()));
        data += body.data;
    }
};

void envChange(Bytes &out, uint8_t type, const QString &newValue, const QString &oldValue)
{
    Bytes body;
    body.u8(type);
    body.bText(newValue);
    body.bText(oldValue);
    out.sized(EnvChange, body);
}

void done(Bytes &out, uint16_t status, uint16_t command, uint64_t rows)
{
    out.u8(DoneToken);
    out.u16(status);
    out.u16(command);
    out.u64(rows);
}

void message(Bytes &out, uint8_t token, int number, uint8_t severity, const QString &text)
{
    Bytes body;
    body.u32(uint32_t(number));
    body.u8(1); // state
    body.u8(severity);
    body.usText(text);
    body.bText(u"TDSENDPOINT"_s);
    body.bText(QString());
    body.u32(1); // line
    out.sized(token, body);
}

// ---- column types ------------------------------------------------------

bool isInteger(const QVariant &v)
{
    return v.typeId() == QMetaType::LongLong;
}

bool isNumber(const QVariant &v)
{
    return isInteger(v) || v.typeId() == QMetaType::Double;
}

// Windows-1252 byte of a character, or -1 when it has none (only the euro
// sign of the 0x80-0x9F block is taken).
int cp1252(QChar c)
{
    const ushort u = c.unicode();
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF))
        return u;
    if (u == 0x20AC)
        return 0x80;
    return -1;
}

// The value in units of the scale's last place, when the decimal of that
// many places reads back as exactly the same double (as the driver's text
// of a decimal column does); a value with more places, or float noise such
// as 0.30000000000000004, does not fit.
bool scaled(double v, int scale, long double *out)
{
    const long double r = std::round(static_cast<long double>(v) * std::pow(10.0L, scale));
    if (!std::isfinite(r) || std::fabs(r) >= 1e18L)
        return false;
    char text[64];
    std::snprintf(text, sizeof text, "%lld", static_cast<long long>(std::fabs(r)));
    std::string digits(text);
    if (scale > 0) {
        if (int(digits.size()) <= scale)
            digits.insert(0, size_t(scale + 1 - int(digits.size())), '0');
        digits.insert(digits.size() - size_t(scale), 1, '.');
    }
    if (r < 0)
        digits.insert(0, 1, '-');
    if (std::strtod(digits.c_str(), nullptr) != v)
        return false;
    *out = r;
    return true;
}

// Whether SQL Server would give back the value unchanged from a column of
// this type: a column holding other values goes out with a type fitting
// them (as a host whose data fits its declarations would send).
bool fits(const HostType &t, const QVariant &v)
{
    switch (t.kind) {
    case HostType::Bit:
        return isInteger(v) && (v.toLongLong() == 0 || v.toLongLong() == 1);
    case HostType::SmallInt:
        return isInteger(v) && v.toLongLong() >= -32768 && v.toLongLong() <= 32767;
    case HostType::Int:
        return isInteger(v) && v.toLongLong() >= std::numeric_limits<int32_t>::min()
            && v.toLongLong() <= std::numeric_limits<int32_t>::max();
    case HostType::BigInt:
        return isInteger(v);
    case HostType::Float:
        return isNumber(v);
    case HostType::Real: {
        if (!isNumber(v))
            return false;
        const double d = v.toDouble();
        const float f = float(d);
        char buf[32];
        const auto r = std::to_chars(buf, buf + sizeof buf, f);
        return std::strtod(std::string(buf, r.ptr).c_str(), nullptr) == d;
    }
    case HostType::Decimal:
    case HostType::Numeric:
    case HostType::Money: {
        const int scale = t.kind == HostType::Money ? 4 : t.scale;
        const int precision = t.kind == HostType::Money ? 18 : t.precision;
        long double r;
        return isNumber(v) && scaled(v.toDouble(), scale, &r) && std::fabs(r) < std::pow(10.0L, precision);
    }
    case HostType::NVarChar:
        return v.typeId() == QMetaType::QString && (t.length == 0 || v.toString().size() <= t.length);
    case HostType::VarChar: {
        if (v.typeId() != QMetaType::QString)
            return false;
        const QString s = v.toString();
        if (t.length != 0 && s.size() > t.length)
            return false;
        for (QChar c : s) {
            if (cp1252(c) < 0)
                return false;
        }
        return true;
    }
    case HostType::DateTime:
        return v.typeId() == QMetaType::QDateTime && v.toDateTime().date().year() >= 1753;
    case HostType::SmallDateTime: {
        if (v.typeId() != QMetaType::QDateTime)
            return false;
        const QDateTime d = v.toDateTime();
        return d.time().second() == 0 && d.time().msec() == 0 && d.date().year() >= 1900 && d.date().year() < 2079;
    }
    case HostType::Date:
        return v.typeId() == QMetaType::QDate;
    }
    return false;
}

// A type for an expression column, from the kinds of its values.
HostType typeOfValues(const ResultData &r, int column)
{
    bool any = false, allInt = true, allNumber = true, allDateTime = true, allDate = true;
    qlonglong lo = 0, hi = 0;
    qsizetype longest = 1;
    for (const auto &row : r.rows) {
        const QVariant &v = row[size_t(column)];
        if (!v.isValid())
            continue;
        any = true;
        allInt = allInt && isInteger(v);
        allNumber = allNumber && isNumber(v);
        allDateTime = allDateTime && v.typeId() == QMetaType::QDateTime;
        allDate = allDate && v.typeId() == QMetaType::QDate;
        if (isInteger(v)) {
            lo = std::min(lo, v.toLongLong());
            hi = std::max(hi, v.toLongLong());
        }
        longest = std::max(longest, v.toString().size());
    }
    HostType t;
    if (!any || allInt)
        t.kind = lo < std::numeric_limits<int32_t>::min() || hi > std::numeric_limits<int32_t>::max() ? HostType::BigInt
                                                                                                      : HostType::Int;
    else if (allNumber)
        t.kind = HostType::Float;
    else if (allDateTime)
        t.kind = HostType::DateTime;
    else if (allDate)
        t.kind = HostType::Date;
    else
        t = {HostType::NVarChar, 0, 0, longest > 4000 ? 0 : int(longest)};
    return t;
}

HostType columnType(const ResultData &r, int column)
{
    HostType declared;
    if (hostColumnType(r.columns[column], &declared)) {
        bool all = true;
        for (const auto &row : r.rows) {
            const QVariant &v = row[size_t(column)];
            if (v.isValid() && !fits(declared, v)) {
                all = false;
                break;
            }
        }
        if (all)
            return declared;
    }
    return typeOfValues(r, column);
}

int decimalBytes(int precision)
{
    return precision <= 9 ? 4 : precision <= 19 ? 8 : precision <= 28 ? 12 : 16;
}

// The type byte and the length of the kinds sent with a fixed size; type 0
// for the others.
struct FixedType
{
    uint8_t type;
    uint8_t size;
};

FixedType fixedType(HostType::Kind kind)
{
    switch (kind) {
    case HostType::Int:
        return {0x26, 4};
    case HostType::SmallInt:
        return {0x26, 2};
    case HostType::BigInt:
        return {0x26, 8};
    case HostType::Bit:
        return {0x68, 1};
    case HostType::Float:
        return {0x6D, 8};
    case HostType::Real:
        return {0x6D, 4};
    case HostType::Money:
        return {0x6E, 8};
    case HostType::DateTime:
        return {0x6F, 8};
    case HostType::SmallDateTime:
        return {0x6F, 4};
    default:
        return {0, 0};
    }
}

void typeInfo(Bytes &out, const HostType &t)
{
    if (const FixedType f = fixedType(t.kind); f.type != 0) {
        out.u8(f.type);
        out.u8(f.size);
    } else if (t.kind == HostType::Decimal || t.kind == HostType::Numeric) {
        out.u8(t.kind == HostType::Decimal ? 0x6A : 0x6C);
        out.u8(uint8_t(1 + decimalBytes(t.precision)));
        out.u8(uint8_t(t.precision));
        out.u8(uint8_t(t.scale));
    } else if (t.isText()) {
        const bool wide = t.kind == HostType::NVarChar;
        out.u8(wide ? 0xE7 : 0xA7);
        out.u16(t.length == 0 ? 0xFFFF : uint16_t(t.length * (wide ? 2 : 1)));
        out.raw(Collation, 5);
    } else { // date
        out.u8(0x28);
    }
}

// The bytes of a text value: UTF-16 for nvarchar, Windows-1252 for varchar.
std::string textBytes(const HostType &t, const QString &s)
{
    if (t.kind == HostType::NVarChar)
        return std::string(reinterpret_cast<const char *>(s.utf16()), size_t(s.size()) * 2);
    std::string bytes;
    for (QChar c : s)
        bytes.push_back(char(cp1252(c)));
    return bytes;
}

// A (max) text goes in chunks after its total length; a sized one after a
// two-byte length.
void text(Bytes &out, const HostType &t, const std::string &bytes)
{
    if (t.length != 0) {
        out.u16(uint16_t(bytes.size()));
    } else {
        out.u64(bytes.size());
        if (!bytes.empty())
            out.u32(uint32_t(bytes.size()));
    }
    out.data += bytes;
    if (t.length == 0)
        out.u32(0);
}

void null(Bytes &out, const HostType &t)
{
    if (t.isText() && t.length == 0)
        out.u64(~uint64_t(0));
    else if (t.isText())
        out.u16(0xFFFF);
    else
        out.u8(0);
}

void decimal(Bytes &out, const HostType &t, double v)
{
    long double r = 0;
    scaled(v, t.scale, &r);
    const int n = decimalBytes(t.precision);
    out.u8(uint8_t(1 + n));
    out.u8(r < 0 ? 0 : 1);
    unsigned __int128 m = static_cast<unsigned __int128>(std::fabs(r));
    for (int i = 0; i < n; ++i, m >>= 8)
        out.u8(uint8_t(m & 0xFF));
}

void value(Bytes &out, const HostType &t, const QVariant &v)
{
    if (!v.isValid())
        return null(out, t);
    const uint8_t size = fixedType(t.kind).size;
    switch (t.kind) {
    case HostType::Int:
    case HostType::SmallInt:
    case HostType::BigInt:
    case HostType::Bit:
        out.u8(size);
        out.le(uint64_t(v.toLongLong()), size);
        break;
    case HostType::Float: {
        const double d = v.toDouble();
        uint64_t bits;
        std::memcpy(&bits, &d, 8);
        out.u8(8);
        out.u64(bits);
        break;
    }
    case HostType::Real: {
        const float f = float(v.toDouble());
        uint32_t bits;
        std::memcpy(&bits, &f, 4);
        out.u8(4);
        out.u32(bits);
        break;
    }
    case HostType::Decimal:
    case HostType::Numeric:
        decimal(out, t, v.toDouble());
        break;
    case HostType::Money: {
        long double r = 0;
        scaled(v.toDouble(), 4, &r);
        const auto m = uint64_t(int64_t(r));
        out.u8(8);
        out.u32(uint32_t(m >> 32)); // the high half first
        out.u32(uint32_t(m));
        break;
    }
    case HostType::NVarChar:
    case HostType::VarChar:
        text(out, t, textBytes(t, v.toString()));
        break;
    case HostType::DateTime: {
        const QDateTime d = v.toDateTime();
        out.u8(8);
        out.u32(uint32_t(int32_t(QDate(1900, 1, 1).daysTo(d.date()))));
        out.u32(uint32_t(std::llround(d.time().msecsSinceStartOfDay() * 0.3)));
        break;
    }
    case HostType::SmallDateTime: {
        const QDateTime d = v.toDateTime();
        out.u8(4);
        out.u16(uint16_t(QDate(1900, 1, 1).daysTo(d.date())));
        out.u16(uint16_t(d.time().hour() * 60 + d.time().minute()));
        break;
    }
    case HostType::Date:
        out.u8(3);
        out.le(uint64_t(QDate(1, 1, 1).daysTo(v.toDate())), 3);
        break;
    }
}

void columns(Bytes &out, const ResultData &r, const std::vector<HostType> &types)
{
    out.u8(ColMetadata);
    out.u16(uint16_t(r.columns.size()));
    for (int i = 0; i < r.columns.size(); ++i) {
        out.u32(0); // user type
        out.u16(0x0001); // nullable
        typeInfo(out, types[size_t(i)]);
        out.bText(r.columns[i]);
    }
}

void row(Bytes &out, const std::vector<QVariant> &values, const std::vector<HostType> &types)
{
    out.u8(RowToken);
    for (size_t i = 0; i < values.size(); ++i)
        value(out, types[i], values[i]);
}

// ---- the wire ----------------------------------------------------------

bool sendAll(int socket, const char *p, size_t n)
{
    while (n > 0) {
        const ssize_t sent = ::send(socket, p, n, MSG_NOSIGNAL);
        if (sent <= 0)
            return false;
        p += sent;
        n -= size_t(sent);
    }
    return true;
}

// Sends a message as packets; without `last` the final packet is not
// marked as the end (a result broken off).
bool sendMessage(int socket, uint8_t type, const std::string &payload, bool last = true)
{
    constexpr size_t Room = PacketSize - 8;
    size_t offset = 0;
    uint8_t id = 1;
    do {
        const size_t n = std::min(Room, payload.size() - offset);
        const bool end = offset + n == payload.size();
        char header[8]
            = {char(type), char(end && last ? 1 : 0), char((n + 8) >> 8), char((n + 8) & 0xFF), 0, 0x34, char(id++), 0};
        if (!sendAll(socket, header, 8) || !sendAll(socket, payload.data() + offset, n))
            return false;
        offset += n;
    } while (offset < payload.size());
    return true;
}

// Waits until the socket can be read, the endpoint stops, or the time is up
// (negative: no limit). True when there is something to read.
bool waitReadable(int socket, const std::atomic<bool> &stopping, int ms)
{
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!stopping) {
        pollfd p{socket, POLLIN, 0};
        if (::poll(&p, 1, 50) > 0)
            return true;
        if (ms >= 0 && std::chrono::steady_clock::now() >= until)
            return false;
    }
    return false;
}

// Sleeps, in short steps so that stopping ends it early.
void pause(const std::atomic<bool> &stopping, int ms)
{
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!stopping && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(
            until - std::chrono::steady_clock::now(), std::chrono::milliseconds(20)));
}

bool readExactly(int socket, char *p, size_t n)
{
    while (n > 0) {
        const ssize_t got = ::recv(socket, p, n, 0);
        if (got <= 0)
            return false;
        p += got;
        n -= size_t(got);
    }
    return true;
}

// Reads one whole message (its packets up to the end mark).
bool readMessage(int socket, const std::atomic<bool> &stopping, uint8_t *type, std::string *payload)
{
    payload->clear();
    for (;;) {
        if (!waitReadable(socket, stopping, -1))
            return false;
        unsigned char header[8];
        if (!readExactly(socket, reinterpret_cast<char *>(header), 8))
            return false;
        const size_t length = size_t(header[2]) << 8 | header[3];
        if (length < 8)
            return false;
        std::string part(length - 8, '\0');
        if (!readExactly(socket, part.data(), part.size()))
            return false;
        *type = header[0];
        *payload += part;
        if (header[1] & 0x01)
            return true;
    }
}

uint16_t le16(const std::string &s, size_t at)
{
    return at + 2 <= s.size() ? uint16_t(uint8_t(s[at]) | uint8_t(s[at + 1]) << 8) : 0;
}

QString utf16At(const std::string &s, size_t offset, size_t chars)
{
    if (offset + chars * 2 > s.size())
        return QString();
    return QString::fromUtf16(reinterpret_cast<const char16_t *>(s.data() + offset), qsizetype(chars));
}

std::string preLoginAnswer()
{
    // Options: version, encryption (not supported), instance, thread id, MARS.
    const uint8_t tokens[] = {0, 1, 2, 3, 4};
    const uint16_t lengths[] = {6, 1, 1, 4, 1};
    Bytes out;
    uint16_t offset = 5 * 5 + 1;
    for (int i = 0; i < 5; ++i) {
        out.u8(tokens[i]);
        out.u8(uint8_t(offset >> 8));
        out.u8(uint8_t(offset));
        out.u8(uint8_t(lengths[i] >> 8));
        out.u8(uint8_t(lengths[i]));
        offset = uint16_t(offset + lengths[i]);
    }
    out.u8(0xFF);
    const uint8_t version[6] = {10, 0, 0x06, 0x40, 0, 0};
    out.raw(version, 6);
    out.u8(2); // ENCRYPT_NOT_SUP
    out.u8(0);
    out.u32(0);
    out.u8(0);
    return out.data;
}

std::string loginAnswer(const QString &database)
{
    Bytes out;
    envChange(out, 1, database, u"master"_s);
    message(out, InfoToken, 5701, 0, u"Changed database context to '%1'."_s.arg(database));
    {
        Bytes body;
        body.u8(7); // collation
        body.u8(5);
        body.raw(Collation, 5);
        body.u8(0);
        out.sized(EnvChange, body);
    }
    envChange(out, 2, u"us_english"_s, QString());
    {
        Bytes body;
        body.u8(1); // T-SQL
        const uint8_t version[4] = {0x73, 0x0B, 0x00, 0x03};
        body.raw(version, 4);
        body.bText(u"TDS endpoint"_s);
        const uint8_t program[4] = {10, 0, 0x06, 0x40};
        body.raw(program, 4);
        out.sized(LoginAck, body);
    }
    envChange(out, 4, QString::number(PacketSize), QString::number(PacketSize));
    done(out, DoneFinal, 0, 0);
    return out.data;
}

bool matches(const QString &pattern, const QString &sql)
{
    return !pattern.isEmpty() && sql.contains(pattern);
}

// The text of a batch: the headers block (its total length first) comes
// before it.
QString batchText(const std::string &payload)
{
    const uint32_t headers = payload.size() >= 4 ? uint32_t(uint8_t(payload[0]) | uint8_t(payload[1]) << 8
                                 | uint8_t(payload[2]) << 16 | uint32_t(uint8_t(payload[3])) << 24)
                                                 : 0;
    const size_t start = headers >= 4 && headers <= payload.size() ? headers : 0;
    return utf16At(payload, start, (payload.size() - start) / 2);
}

// The result's columns and rows, ended by a DONE with `more` added to its
// status; false when the fault breaks it off after dropAfterRows rows.
bool result(Bytes &out, const ResultData &r, bool drop, int dropAfterRows, uint16_t more)
{
    std::vector<HostType> types;
    for (int i = 0; i < r.columns.size(); ++i)
        types.push_back(columnType(r, i));
    columns(out, r, types);
    for (size_t n = 0; n < r.rows.size(); ++n) {
        if (drop && n == size_t(std::max(0, dropAfterRows)))
            return false;
        row(out, r.rows[n], types);
    }
    if (drop)
        return false;
    done(out, DoneCount | more, SelectCommand, r.rows.size());
    return true;
}

// The statements of a batch: its text split at the ";" between statements
// (not those in literals, names or comments); pieces of blanks and comments
// are no statement.
QStringList statementsOf(const QString &batch)
{
    QStringList statements;
    QString current;
    bool significant = false;
    for (const SqlTokenizer::Token &token : SqlTokenizer::tokenize(batch)) {
        if (token.isSymbol(u";")) {
            if (significant)
                statements << current;
            current.clear();
            significant = false;
            continue;
        }
        current += token.text;
        significant = significant || token.isSignificant();
    }
    if (significant)
        statements << current;
    return statements;
}

// A character of a plain literal as the server keeps it in the code page of
// its collation: itself when the page has it, else its best fit (the letter
// without its accent, Ł as L), else "?".
QChar inCodePage(QChar c)
{
    if (Windows1252::holds(QStringView(&c, 1)))
        return c;
    static const QHash<char16_t, char16_t> strokes = {{u'Ł', u'L'}, {u'ł', u'l'}, {u'Đ', u'D'}, {u'đ', u'd'}};
    if (strokes.contains(c.unicode()))
        return QChar(strokes.value(c.unicode()));
    const QString decomposed = QString(c).normalized(QString::NormalizationForm_D);
    if (decomposed.size() > 1 && Windows1252::holds(decomposed.left(1)))
        return decomposed.front();
    return QLatin1Char('?');
}

// The statement as the server reads it: a plain literal ('..', not N'..') is
// single-byte text in the collation's code page, so characters the page lacks
// are replaced before anything compares them ('Łoś' finds the lot Los).
QString asTheServerReadsIt(const QString &sql)
{
    if (Windows1252::holds(sql))
        return sql;
    QString out;
    out.reserve(sql.size());
    for (SqlTokenizer::Token &token : SqlTokenizer::tokenize(sql)) {
        if (token.kind == SqlTokenizer::Kind::String && token.text.startsWith(u'\'')
            && !Windows1252::holds(token.text)) {
            for (QChar &c : token.text)
                c = inCodePage(c);
        }
        out += token.text;
    }
    return out;
}

// Runs one statement of a batch and writes its answer, or the fault's, with
// `more` in its DONE status when statements follow. A failing statement gets
// its error and a DONE with the error flag; the batch goes on with the next,
// as the server does for an error in a statement. False when the fault
// breaks the result off.
bool answerStatement(Bytes &out, SqliteBackend &backend, const QString &sql, const Faults &f, uint16_t more)
{
    static const QRegularExpression setStatement(u"^\\s*SET\\s"_s, QRegularExpression::CaseInsensitiveOption);
    if (setStatement.match(sql).hasMatch()) {
        done(out, DoneFinal | more, 0, 0);
    } else if (matches(f.failOn, sql)) {
        message(out, ErrorToken, f.errorNumber, 16, f.errorMessage);
        done(out, DoneError | more, 0, 0);
    } else {
        try {
            const ResultData r = backend.query(asTheServerReadsIt(sql));
            if (r.columns.isEmpty())
                done(out, DoneFinal | more, 0, 0);
            else
                return result(out, r, matches(f.dropOn, sql), f.dropAfterRows, more);
        } catch (const DbError &e) {
            message(out, ErrorToken, 50000, 16, e.message());
            done(out, DoneError | more, 0, 0);
        }
    }
    return true;
}

// Runs the statements of the batch and sends their answers in one message;
// false when the connection is to go. The statements of a batch read one
// state of the file, so a subquery they share is run once for all of them.
bool answerBatch(int socket, SqliteBackend &backend, const QString &sql, const Faults &f)
{
    backend.beginSnapshot();
    const auto ended = qScopeGuard([&backend] { backend.endSnapshot(); });
    const QStringList statements = statementsOf(sql);
    Bytes out;
    if (statements.isEmpty())
        done(out, DoneFinal, 0, 0);
    for (qsizetype i = 0; i < statements.size(); ++i) {
        const uint16_t more = i + 1 < statements.size() ? DoneMore : 0;
        if (!answerStatement(out, backend, statements[i], f, more)) {
            // Broken off: the answers so far, no end, then the connection goes.
            sendMessage(socket, TabularResult, out.data, false);
            return false;
        }
    }
    return sendMessage(socket, TabularResult, out.data);
}

} // namespace

// ---- the endpoint --------------------------------------------------------

Endpoint::Endpoint(const QString &sqlitePath)
    : m_path(sqlitePath)
{
    m_listen = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (m_listen < 0)
        throw std::runtime_error("socket");
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = 0;
    socklen_t len = sizeof addr;
    if (::bind(m_listen, reinterpret_cast<sockaddr *>(&addr), sizeof addr) != 0 || ::listen(m_listen, 16) != 0
        || ::getsockname(m_listen, reinterpret_cast<sockaddr *>(&addr), &len) != 0) {
        ::close(m_listen);
        throw std::runtime_error("bind");
    }
    m_port = ntohs(addr.sin_port);
    m_acceptor = std::thread([this] { acceptLoop(); });
}

Endpoint::~Endpoint()
{
    m_stopping = true;
    ::shutdown(m_listen, SHUT_RDWR);
    m_acceptor.join();
    ::close(m_listen);
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        for (int s : m_sockets)
            ::shutdown(s, SHUT_RDWR);
    }
    for (std::thread &t : m_threads)
        t.join();
}

QString Endpoint::connectionString() const
{
    return u"Provider=SQLOLEDB;Data Source=127.0.0.1,%1;Initial Catalog=Forst;"
           u"User ID=tannbuch;Password=geheim"_s.arg(m_port);
}

void Endpoint::setFaults(const Faults &faults)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_faults = faults;
}

Faults Endpoint::faults() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_faults;
}

QStringList Endpoint::batches() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_batches;
}

void Endpoint::acceptLoop()
{
    while (!m_stopping) {
        if (!waitReadable(m_listen, m_stopping, -1))
            return;
        const int s = ::accept4(m_listen, nullptr, nullptr, SOCK_CLOEXEC);
        if (s < 0)
            continue;
        const int one = 1;
        ::setsockopt(s, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
        std::lock_guard<std::mutex> lock(m_mutex);
        m_sockets.push_back(s);
        m_threads.emplace_back([this, s] { serve(s); });
    }
}

void Endpoint::serve(int socket)
{
    std::unique_ptr<SqliteBackend> backend;
    uint8_t type = 0;
    std::string payload;
    bool open = true;
    while (open && readMessage(socket, m_stopping, &type, &payload)) {
        if (type == PreLogin) {
            open = sendMessage(socket, TabularResult, preLoginAnswer());
        } else if (type == Login7) {
            // The database name: offset and length at bytes 68 and 70.
            QString database = utf16At(payload, le16(payload, 68), le16(payload, 70));
            if (database.isEmpty())
                database = u"Forst"_s;
            // Type flags at byte 26; bit 5 asks for read-only access.
            ++m_logins;
            if (payload.size() > 26 && (uint8_t(payload[26]) & 0x20))
                ++m_readOnlyLogins;
            try {
                backend = std::make_unique<SqliteBackend>(m_path);
                open = sendMessage(socket, TabularResult, loginAnswer(database));
            } catch (const DbError &e) {
                Bytes out;
                message(out, ErrorToken, 4060, 11, e.message());
                done(out, DoneError, 0, 0);
                sendMessage(socket, TabularResult, out.data);
                open = false;
            }
        } else if (type == Attention) {
            ++m_cancels;
            Bytes out;
            done(out, DoneAttention, 0, 0);
            open = sendMessage(socket, TabularResult, out.data);
        } else if (type == SqlBatch && backend) {
            const QString sql = batchText(payload);
            Faults f;
            {
                std::lock_guard<std::mutex> lock(m_mutex);
                m_batches << sql;
                f = m_faults;
            }
            // The latency is the network's round trip: once per batch.
            if (f.latencyMs > 0)
                pause(m_stopping, f.latencyMs);
            // A stalled batch has no answer; the client's cancel is answered
            // by this loop.
            if (!matches(f.stallOn, sql))
                open = answerBatch(socket, *backend, sql, f);
        } else {
            open = false;
        }
    }
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        std::erase(m_sockets, socket);
    }
    ::shutdown(socket, SHUT_RDWR);
    ::close(socket);
}

} // namespace tds

} // namespace tannbuch
