// The answers localweb sends, as tests expect them: the header lines with the
// date masked, error pages and CGI answers.
#pragma once

#include <regex>
#include <string>

// The answer with its Date line's value replaced by '*'.
inline std::string WithoutDate(const std::string& text) {
  static const std::regex date(
      "Date: (Sun|Mon|Tue|Wed|Thu|Fri|Sat), [0-3][0-9] "
      "(Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|Nov|Dec) [0-9]{4} [0-2][0-9]:[0-5][0-9]:[0-6][0-9] GMT\r\n");
  return std::regex_replace(text, date, "Date: *\r\n");
}

// The header lines of an answer (date masked), up to the blank line.
inline std::string Header(const char* status, const char* type, size_t length) {
  std::string text = std::string("HTTP/1.0 ") + status + "\r\nServer: SERVER/1.0\r\nDate: *\r\n";
  if (type) text += std::string("Content-Type: ") + type + "\r\n";
  return text + "Content-Length: " + std::to_string(length) + "\r\n\r\n";
}

// An error page's body.
inline std::string ErrorPage(const char* heading, const char* text, const char* message = nullptr) {
  std::string page = std::string("<HTML>\r\n<HEAD>\r\n<TITLE>Error</TITLE>\r\n</HEAD>\r\n<BODY>\r\n<H1>") +
                     heading + "</H1>\r\n" + text + "\r\n";
  if (message) page += std::string("<P>\r\n") + message;
  return page + "</BODY>\r\n</HTML>\r\n";
}

// A whole error answer: header lines and page.
inline std::string ErrorAnswer(const char* status, const char* heading, const char* text,
                               const char* message = nullptr) {
  std::string page = ErrorPage(heading, text, message);
  return Header(status, "text/html", page.size()) + page;
}

// A CGI answer: the server's status, Server, Date and length lines, then the
// program's header lines and blank line as they came, then its body, which
// is what the length counts.
inline std::string CGIAnswer(const std::string& head, const std::string& body) {
  return "HTTP/1.0 200 OK\r\nServer: SERVER/1.0\r\nDate: *\r\nContent-Length: " +
         std::to_string(body.size()) + "\r\n" + head + body;
}
