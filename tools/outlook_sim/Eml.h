#pragma once
// Saving an item as an Internet message (.eml): headers, the body as plain text and each
// attachment base64-encoded in a multipart/mixed body, so a mail program can open the result.
#include <string>

namespace kestova::sim {

class TSimItem;

std::string Base64(const std::string& data);
std::string EmlText(const TSimItem& item);
void SaveAsEml(const TSimItem& item, const std::wstring& path);  // raises EOleError on a write failure

}  // namespace kestova::sim
