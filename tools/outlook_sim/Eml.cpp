#include "tools/outlook_sim/Eml.h"

#include <cstring>
#include <fstream>

#include "addin/com/OleError.h"
#include "tools/outlook_sim/Items.h"
#include "platform/win32/WideText.h"

namespace kestova::sim {

namespace {

const char kBoundary[] = "----=_KestovaSimulatedOutlook";
const size_t kLineLength = 76;  // the MIME limit for base64 lines

std::string Wrapped(const std::string& text) {
    std::string lines;
    for (size_t at = 0; at < text.size(); at += kLineLength) lines += text.substr(at, kLineLength) + "\r\n";
    return lines;
}

std::string ContentType(const std::string& name) {
    const size_t dot = name.find_last_of('.');
    return dot != std::string::npos && _stricmp(name.c_str() + dot, ".mp3") == 0 ? "audio/mpeg" : "application/octet-stream";
}

std::string AttachmentPart(const TSimAttachment& attachment) {
    const std::string name = win32::Narrow(attachment.DisplayName());
    return std::string("--") + kBoundary + "\r\n" +
           "Content-Type: " + ContentType(name) + "; name=\"" + name + "\"\r\n" +
           "Content-Transfer-Encoding: base64\r\n" +
           "Content-Disposition: attachment; filename=\"" + name + "\"\r\n\r\n" + Wrapped(Base64(attachment.Data()));
}

}  // namespace

std::string Base64(const std::string& data) {
    static const char digits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    for (size_t i = 0; i < data.size(); i += 3) {
        const size_t left = data.size() - i;
        unsigned value = static_cast<unsigned char>(data[i]) << 16;
        if (left > 1) value |= static_cast<unsigned char>(data[i + 1]) << 8;
        if (left > 2) value |= static_cast<unsigned char>(data[i + 2]);
        out += digits[(value >> 18) & 63];
        out += digits[(value >> 12) & 63];
        out += left > 1 ? digits[(value >> 6) & 63] : '=';
        out += left > 2 ? digits[value & 63] : '=';
    }
    return out;
}

std::string EmlText(const TSimItem& item) {
    std::string text = "To: " + win32::Narrow(item.To()) + "\r\n" + "Subject: " + win32::Narrow(item.Subject()) + "\r\n" +
                       "MIME-Version: 1.0\r\n" + "Content-Type: multipart/mixed; boundary=\"" + kBoundary + "\"\r\n\r\n" +
                       "--" + kBoundary + "\r\n" + "Content-Type: text/plain; charset=utf-8\r\n\r\n" +
                       win32::Narrow(item.Body()) + "\r\n";
    for (const auto& attachment : item.Attachments().Items()) text += AttachmentPart(*attachment.Get());
    return text + "--" + kBoundary + "--\r\n";
}

void SaveAsEml(const TSimItem& item, const std::wstring& path) {
    std::ofstream out(path.c_str(), std::ios::binary);
    out << EmlText(item);
    if (!out.flush()) throw com::EOleError(E_FAIL, "Cannot save \"" + win32::Narrow(path) + "\"");
}

}  // namespace kestova::sim
