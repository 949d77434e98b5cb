// The back end of a dialog chosen by the environment, and the helpers every
// back end shares.
#include "platform/dialog.h"

#include <cstdio>
#include <cstring>

#include "platform/desktop.h"
#include "platform/env.h"
#include "platform/scripted_dialog.h"
#include "platform/version.h"

namespace {

// MulDiv(units, base, divisor): rounded to the nearest, halves away from 0.
int ScaleUnits(int units, int base, int divisor) {
  long long product = static_cast<long long>(units) * base;
  long long half = divisor / 2;
  return static_cast<int>(product >= 0 ? (product + half) / divisor : (product - half) / divisor);
}

// Names the dialog in a message: its caption, else the program.
const char* DialogName(const DialogSpec& spec) {
  if (spec.caption && *spec.caption) return spec.caption;
  const char* program = ProgramVersion().internalName;
  return program ? program : "";
}

}  // namespace

int Dialog::DialogUnitsX(int units) const { return ScaleUnits(units, Metrics().baseUnitX, 4); }
int Dialog::DialogUnitsY(int units) const { return ScaleUnits(units, Metrics().baseUnitY, 8); }

char* GetItemText(const Dialog& dialog, int id, char* buffer, size_t size) {
  if (size == 0) return buffer;
  std::string text = dialog.ItemText(id);
  size_t length = text.size() < size - 1 ? text.size() : size - 1;
  if (dialog.FieldCodePage() == CodePage::kUtf8) length = WholeLettersWithin(text, length);
  memcpy(buffer, text.data(), length);
  buffer[length] = '\0';
  return buffer;
}

TypedText FieldTakes(const std::string& kept, const std::string& typed, int limit, CodePage page) {
  TypedText result;
  std::string converted;
  if (!FromUtf8(typed, page, &converted, &result.missing)) return result;
  if (limit <= 0) {
    result.taken = typed.size();
    return result;
  }
  size_t used = LengthIn(kept, page);
  size_t room = used < static_cast<size_t>(limit) ? limit - used : 0;
  // Letter by letter, as far as each fits whole.
  for (size_t i = 0; i < typed.size();) {
    size_t length = Utf8LetterLength(typed, i);
    size_t bytes = page == CodePage::kUtf8 ? length : 1;
    if (bytes > room) break;
    room -= bytes;
    i += length;
    result.taken = i;
  }
  return result;
}

std::string MissingLetterMessage(const std::string& letter) {
  return "The letter \"" + letter +
         "\" cannot be typed here: this text is kept in the windows-1252 code page, "
         "which has no such letter.";
}

int RunDialog(const DialogSpec& spec, DialogHandler handler) {
  const char* script = GetEnv("WEFTDIALOGSCRIPT");
  if (script && *script) return weft_scripted::RunScriptedDialog(spec, handler, script);
  if (weft_desktop::DesktopAvailable()) return weft_desktop::RunDesktopDialog(spec, handler);
  fprintf(stderr, "%s: no display to show the dialog on\n", DialogName(spec));
  return -1;
}
