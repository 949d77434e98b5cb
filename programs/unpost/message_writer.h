// The text output of a message: each entity's heading and body copied, its
// base64 parts and its uuencoded and yEnc blocks saved as files and replaced
// by a "[[ name ]]" line.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "programs/unpost/message.h"
#include "programs/unpost/unpost_options.h"

// The temporary text output, in the current directory.
constexpr const char* kTempOutputName = "$unpost$.$$$";
// The temporary file each attachment is written to before it takes its name.
constexpr const char* kTempAttachmentName = "$unpart$.$$$";

// What one input file gave.
struct FileState {
  bool error = false;          // an attachment was damaged or not written
  std::string firstName;       // the first attachment recorded (at most 255)
  std::string list;            // "name [type], ..." (at most 1023)
  std::vector<std::string> written;  // the files kept for this input

  void AddAttachment(const std::string& name, const char* type);
  // A name to write: made unique when this input already wrote a file of
  // that name (or it is the temporary output), so nothing saved is lost.
  std::string FreshName(const std::string& name) const;
};

class MessageWriter {
 public:
  MessageWriter(const UnpostOptions& options, FileState* state, FILE* output)
      : options_(options), state_(state), output_(output) {}

  void Write(const Message& message);
  void ScanBody(const char* body);
  // Each saves one attachment and answers whether it may replace its encoded
  // text; `savedName` is the name of the file. `cursor` starts after the begin
  // line and, on success, is moved past the block.
  bool SaveUuencoded(const std::string& beginLine, const char** cursor, std::string* savedName);
  bool SaveYenc(const std::string& beginLine, const char** cursor, std::string* savedName);
  bool SaveBase64(const Message& message, std::string* savedName);

 private:
  // Confirms the name and creates the temporary file (null when refused or
  // not created).
  FILE* CreateAttachment(std::string* name);
  // Closes the file and puts it in place under `name`, or deletes it; true
  // when it is good.
  bool FinishAttachment(FILE* file, const std::string& name, const char* type, bool damaged,
                        bool writeError);
  void CannotCreate(const std::string& name);
  void Discarded(std::string_view line);

  const UnpostOptions& options_;
  FileState* state_;
  FILE* output_;
};
