// libFuzzer target for the numbered files: the front of the input becomes a
// file's contents, its tail a script (file number, access, record length,
// then up to 24 gets and prints with their positions and counts). The file
// is opened in each of the five modes in turn and the script run on it.
// Each get reads into a buffer of exactly its count, so the sanitizers catch
// any write past it; while the script has written nothing, every get that
// succeeds must give the bytes a plain reading of the file predicts (zeros
// past the end, and nothing to read in the two output modes).
#include <fuzzer/FuzzedDataProvider.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "runtime/rt_file.h"
#include "runtime/runtime.h"

namespace {

std::string file_path;

void remove_file() { unlink(file_path.c_str()); }

void write_file(const std::vector<uint8_t>& contents) {
  std::FILE* f = std::fopen(file_path.c_str(), "wb");
  if (!f) std::abort();
  if (!contents.empty()) std::fwrite(contents.data(), 1, contents.size(), f);
  std::fclose(f);
}

struct Step {
  bool print;       // print a short text instead of a get
  int64_t position; // 0 current, else 1-based (a record number in random mode)
  int count;
  int flags;        // print flags
};

struct Script {
  int number, access, record_length;
  std::vector<Step> steps;
};

Script read_script(FuzzedDataProvider& in) {
  Script s;
  s.number = in.ConsumeIntegralInRange<int>(1, 254);
  s.access = in.ConsumeIntegralInRange<int>(0, 3);
  s.record_length = in.ConsumeIntegral<int16_t>();
  const int steps = in.ConsumeIntegralInRange<int>(0, 24);
  for (int i = 0; i < steps && in.remaining_bytes() > 0; ++i) {
    Step step{};
    step.print = in.ConsumeIntegralInRange<int>(0, 7) == 0;
    switch (in.ConsumeIntegralInRange<int>(0, 3)) {
      case 0: step.position = 0; break;
      case 1: step.position = in.ConsumeIntegralInRange<int64_t>(1, 64); break;
      case 2: step.position = in.ConsumeIntegral<int64_t>(); break;  // negative and huge too
      default: step.position = in.ConsumeIntegralInRange<int64_t>(1, 1 << 20); break;
    }
    step.count = in.ConsumeBool() ? in.ConsumeIntegralInRange<int>(0, 16) : in.ConsumeIntegralInRange<int>(-2, 5000);
    step.flags = in.ConsumeIntegralInRange<int>(0, 7);
    s.steps.push_back(step);
  }
  return s;
}

// What a plain reading of the file gives: its bytes and the position.
struct Model {
  std::vector<uint8_t> bytes;
  int64_t position = 0;
  bool known = true;  // false once the script wrote or a get failed

  // Where a get starts, or -1 when the position cannot be reached.
  int64_t start(int64_t position_arg, int64_t record_length) const {
    if (position_arg == 0) return position;
    if (position_arg - 1 > INT64_MAX / record_length) return -1;
    return (position_arg - 1) * record_length;
  }
};

void check_get(Model& model, int mode, int64_t record_length, const Step& step, const uint8_t* got) {
  const bool records = mode == ZQ_FILE_RANDOM;
  const int64_t from = model.start(step.position, records ? record_length : 1);
  if (from < 0) {
    model.known = false;
    return;
  }
  const int64_t size = int64_t(model.bytes.size());
  for (int i = 0; i < step.count; ++i) {
    const int64_t at = from + i;
    const uint8_t want = at < size ? model.bytes[size_t(at)] : 0;
    if (got[i] != want) {
      std::fprintf(stderr, "mode %d: byte %d of a get at %lld is %d, the file has %d\n", mode, i,
                   (long long)from, got[i], want);
      std::abort();
    }
  }
  const int64_t read = from < size ? std::min<int64_t>(step.count, size - from) : 0;
  model.position = from + read;
  if (records) model.position += (record_length - step.count % record_length) % record_length;
}

void run_mode(const Script& script, const std::vector<uint8_t>& contents, int mode) {
  write_file(contents);
  StringValue* name = rt_str_new_temp(file_path.c_str(), int(file_path.size()));
  if (rt_file_open(name, mode, script.access, 0, script.number, script.record_length) != 0) return;
  const FileEntry* entry = rt_file_entry(script.number);
  const int64_t record_length = entry->record_length > 0 ? entry->record_length : 1;
  Model model;
  // The output modes and binary or random files opened write-only start
  // empty or cannot be read: their gets give zeros.
  const bool write_only = mode == ZQ_FILE_OUTPUT || mode == ZQ_FILE_APPEND || (mode <= ZQ_FILE_RANDOM && script.access == 2);
  if (!write_only) model.bytes = contents;
  for (const Step& step : script.steps) {
    if (step.print) {
      rt_print(script.number, rt_str_temp("ab\r\n", 4), step.flags);
      model.known = false;
      continue;
    }
    uint8_t* buffer = step.count > 0 ? static_cast<uint8_t*>(std::malloc(size_t(step.count))) : nullptr;
    if (buffer) std::memset(buffer, 0xA5, size_t(step.count));
    const int result = rt_file_get(script.number, step.position, buffer, step.count);
    if (result != 0)
      model.known = false;
    else if (model.known && step.count >= 0)
      check_get(model, mode, record_length, step, buffer);
    std::free(buffer);
  }
  if (rt_file_close(script.number) != 0) std::abort();
  // Closed: a get fails and leaves the buffer alone.
  uint8_t probe[4] = {1, 2, 3, 4};
  if (rt_file_get(script.number, 0, probe, 4) != 1 || probe[0] != 1 || probe[3] != 4) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  rt_init(0, nullptr, 1);
  char name[] = "/tmp/zq_file_fuzz_XXXXXX";
  int fd = mkstemp(name);
  if (fd < 0) std::abort();
  close(fd);
  file_path = name;
  std::atexit(remove_file);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider in(data, size);
  const Script script = read_script(in);  // taken from the input's end
  const std::vector<uint8_t> contents = in.ConsumeRemainingBytes<uint8_t>();
  for (int mode = ZQ_FILE_BINARY; mode <= ZQ_FILE_APPEND; ++mode) run_mode(script, contents, mode);
  return 0;
}
