// Answering one GET request: URL to file path, the Map and Pass rules,
// content types, static files, error pages and CGI programs.
#pragma once

#include <cstddef>
#include <string>

#include "platform/sockets.h"
#include "shared/string.h"

struct ServerSettings;

// The path a URL names after decoding and the rules; the empty String when
// the URL must not be served, with `refusal` (when given) set to the status
// that answers it: 403 for a '..' part, a drive or a control byte; 404 for a
// part that begins with '.' (".git", ".env": private, answered as if absent).
String MapUrlToPath(const char* url, const ServerSettings& settings, unsigned* refusal = nullptr);
// The content type for a path's extension: fixed types, else the registry;
// "*" marks a CGI program; the empty String when none is known.
String ContentTypeFor(const char* path);
const char* QueryContentType(const char* extension, char* buffer, size_t size);
const char* StatusText(unsigned status);
// Writes the answer header and returns its length; 0 when `headers` is off.
size_t FormatResponseHeader(char* buffer, size_t size, bool headers, unsigned status,
                            const char* statusText, unsigned long length, const char* type);
// The whole error answer (header and page) for a status and message.
String FormatErrorPage(bool headers, unsigned status, const char* message);

// The text with '&', '<', '>' and '"' written as HTML entities, and its UTF-8
// letters beyond ASCII as references, so that a page can show it as it is.
std::string HtmlText(const std::string& text);
// The length of a CGI program's header lines with the blank line after them
// (a line that is empty or holds only CR); 0 when the output has no blank line.
size_t CGIHeaderLength(const char* output, size_t length);

void ServeUrl(Socket socket, bool headers, const char* url);
void SendErrorPage(Socket socket, bool headers, unsigned status, const char* format, ...);
void SendErrorStatus(Socket socket, bool headers, unsigned status);
void SendFile(Socket socket, bool headers, const char* path, const char* type,
              unsigned long bufferSize);
// Runs the CGI program that `path` (as MapUrlToPath gives it) names; error
// pages show that path.
void RunCGIScript(Socket socket, bool headers, const char* path, const char* query);
