// The local-socket framing between the desktop program (host) and a virtual
// kit. Both ends link to koru_kitprotocol (this header); it needs Qt Core
// only. The prose description is link/VIRTUAL_KIT.md.
//
// Every message is  [type: 1 byte] [payload length: 2 bytes, big-endian]
// [payload]. The kit speaks first with a Hello; after it, the host sends one
// OutputReport per HID output report and the kit sends one InputReport per
// HID input report. Reports are whole HID reports, report ID byte first.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QString>
#include <QtEndian>

#include <optional>

namespace koru::virtualkit {

// Folder holding one local socket per running virtual kit (a full path,
// the name the kit listens on with QLocalServer and the program connects to
// with LocalSocket, model/localsocket.h). Each side creates it when missing.
inline QString KitFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation) + QStringLiteral("/koru-kits");
}

// Socket name that a kit with the given process id should listen on.
inline QString KitSocketPath(qint64 pid)
{
    return KitFolder() + QStringLiteral("/kit-%1").arg(pid);
}

// Creates the kit folder (owner-only access) and answers whether it exists.
inline bool EnsureKitFolder()
{
    const QString folder = KitFolder();
    if (!QDir().mkpath(folder))
        return false;
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return true;
}

enum MessageType : quint8 {
    Hello = 'H',        // kit -> host, first message on every connection
    OutputReport = 'O', // host -> kit, one whole output report
    InputReport = 'I',  // kit -> host, one whole input report
};

constexpr int HeaderSize = 3;
constexpr int MaxPayload = 2048;      // a longer announced payload breaks the connection
constexpr int MaxReportLength = 1024; // report lengths a hello may announce: 2 .. this
constexpr int MinReportLength = 2;    // report ID plus at least one data byte
constexpr quint8 ProtocolVersion = 1;
inline constexpr char HelloMagic[4] = {'K', 'O', 'R', 'U'};
constexpr int MaxStringBytes = 762; // 254 characters of UTF-8, at most 3 bytes each

// One whole message: type byte, big-endian length, payload. Payloads longer
// than MaxPayload are cut (never produced by this header's users).
inline QByteArray EncodeMessage(quint8 type, QByteArrayView payload)
{
    const qsizetype n = qMin<qsizetype>(payload.size(), MaxPayload);
    QByteArray message;
    message.reserve(HeaderSize + n);
    message.append(char(type));
    message.append(char((n >> 8) & 0xFF));
    message.append(char(n & 0xFF));
    message.append(payload.data(), n);
    return message;
}

// What a kit announces about itself.
struct HelloInfo
{
    quint16 vendorId = 0;
    quint16 productId = 0;
    quint16 inputReportLength = 2;  // report ID byte included
    quint16 outputReportLength = 2; // report ID byte included
    QString product;                // "ORBA" for a kit
    QString serial;                 // empty for a kit

    bool operator==(const HelloInfo &) const = default;
};

// Hello payload: "KORU", version (1 byte), vendor id, product id, input
// report length, output report length (2 bytes each, big-endian), then the
// product and the serial string, each as a 2-byte big-endian byte count
// followed by that many bytes of UTF-8.
inline QByteArray EncodeHello(const HelloInfo &info)
{
    QByteArray payload(HelloMagic, 4);
    payload.append(char(ProtocolVersion));
    const auto put16 = [&payload](quint16 v) {
        payload.append(char(v >> 8));
        payload.append(char(v & 0xFF));
    };
    put16(info.vendorId);
    put16(info.productId);
    put16(info.inputReportLength);
    put16(info.outputReportLength);
    for (const QString &text : {info.product, info.serial}) {
        const QByteArray utf8 = text.toUtf8().left(MaxStringBytes);
        put16(quint16(utf8.size()));
        payload.append(utf8);
    }
    return EncodeMessage(Hello, payload);
}

// The hello of a payload, or nothing when it is malformed: wrong magic or
// version, report lengths outside 2 .. MaxReportLength, strings running past
// the end. Extra bytes after the serial are allowed (later versions).
inline std::optional<HelloInfo> DecodeHello(QByteArrayView payload)
{
    if (payload.size() < 4 + 1 + 8 + 4 || payload.first(4) != QByteArrayView(HelloMagic, 4)
        || quint8(payload[4]) != ProtocolVersion)
        return std::nullopt;
    qsizetype at = 5;
    const auto get16 = [&payload, &at]() -> std::optional<quint16> {
        if (at + 2 > payload.size())
            return std::nullopt;
        const quint16 v = quint16((quint8(payload[at]) << 8) | quint8(payload[at + 1]));
        at += 2;
        return v;
    };
    HelloInfo info;
    info.vendorId = *get16();
    info.productId = *get16();
    info.inputReportLength = *get16();
    info.outputReportLength = *get16();
    for (QString *text : {&info.product, &info.serial}) {
        const std::optional<quint16> n = get16();
        if (!n || *n > MaxStringBytes || at + *n > payload.size())
            return std::nullopt;
        *text = QString::fromUtf8(payload.sliced(at, *n));
        at += *n;
    }
    for (quint16 length : {info.inputReportLength, info.outputReportLength})
        if (length < MinReportLength || length > MaxReportLength)
            return std::nullopt;
    return info;
}

struct Message
{
    quint8 type = 0;
    QByteArray payload;
};

// Incremental reader for one connection: feed it whatever the socket had
// (any split, any amount), then take whole messages out. Once the stream is
// broken (an announced payload longer than MaxPayload) it stays broken and
// the connection should be closed. Messages of unknown type are handed out
// like any other; receivers ignore them.
class MessageReader
{
public:
    void append(QByteArrayView bytes)
    {
        if (!m_broken)
            m_buffer.append(bytes.data(), bytes.size());
    }

    std::optional<Message> next()
    {
        if (m_broken || m_buffer.size() < HeaderSize)
            return std::nullopt;
        const int length = (quint8(m_buffer[1]) << 8) | quint8(m_buffer[2]);
        if (length > MaxPayload) {
            m_broken = true;
            m_buffer.clear();
            return std::nullopt;
        }
        if (m_buffer.size() < HeaderSize + length)
            return std::nullopt;
        Message message{quint8(m_buffer[0]), m_buffer.mid(HeaderSize, length)};
        m_buffer.remove(0, HeaderSize + length);
        return message;
    }

    bool broken() const { return m_broken; }

private:
    QByteArray m_buffer;
    bool m_broken = false;
};

} // namespace koru::virtualkit
