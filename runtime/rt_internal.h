// Pieces shared between the runtime's own source files; not part of what a
// program calls.
#pragma once
#include <cstdint>

struct StringValue;
struct FileEntry;
struct FileOps;

// Each module puts its globals back to their start-up state (rt_startup).
void rt_core_reset();
void rt_timer_reset();
void rt_console_reset();
void rt_terminal_reset();
void rt_file_reset();

// Stores a then b (either may be null with length 0) as dest's characters.
// dest keeps its kind: a temporary's new characters are marked as allocated
// for it, a borrowed buffer is never freed. Returns false, leaving dest as it
// was, when the memory cannot be had or the total is too long.
bool rt_str_store(StringValue* dest, const char* a, int64_t a_length, const char* b,
                  int64_t b_length);

// A text argument's characters: mark -1 is a string value, anything else a
// zero-terminated array (scanned no further than mark bytes when mark > 0).
// A null text has no characters.
struct TextArg {
  const char* chars;
  int64_t length;
};
TextArg rt_str_arg(const void* text, int mark);
// Releases a text argument that is a string value (mark -1) when it is a
// temporary, as calls taking text do once they are done with it.
void rt_str_release_arg(const void* text, int mark);

// Device operations of disk files and of the screen entry.
extern const FileOps rt_disk_file_ops;
extern const FileOps rt_screen_file_ops;

// Print zones (rt_print with flag bit 1) are this many columns wide.
constexpr int kPrintZoneWidth = 14;

// Updates an entry's text column counter for bytes written to it.
void rt_file_track_column(FileEntry* entry, const uint8_t* bytes, int64_t count);

// The line width last given to rt_width for the screen (0 when never set):
// the screen entry's own data, kept for a caller that asks; nothing here reads it.
int rt_screen_line_width();
