// The private-profile operations over host files, with the semantics of
// Windows' kernel32 on ANSI (CP932) files. See docs/profile.md.
#pragma once
#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>

#include "system/platform/profile.h"
#include "system/platform/sim/host_files.h"

namespace velandra::platform::sim {

// Why writing these names would not read back as written (`key` is null for
// a section deletion, `value` for any deletion): a CR, LF or NUL would split or cut the line, '=' in the
// key or a key starting with '[' or ';' would read as another key, a section
// or a comment, ']' in the section name would end it early. Empty when the
// write is sound. Both profile backends refuse such writes.
std::string ProfileWriteProblem(std::string_view section, const std::string_view* key,
                                const std::string_view* value);

class SimProfile : public IProfile {
 public:
  explicit SimProfile(PathMapper mapper);
  // Writes out what an unfinished batch still holds.
  ~SimProfile() override;
  SimProfile(const SimProfile&) = delete;
  SimProfile& operator=(const SimProfile&) = delete;

  std::string GetString(std::string_view section, std::string_view key,
                        std::string_view def, uint32_t size,
                        const std::string& path) override;
  int GetInt(std::string_view section, std::string_view key, int def,
             const std::string& path) override;
  std::string GetSection(std::string_view section, uint32_t size,
                         const std::string& path) override;
  bool WriteString(std::string_view section, std::string_view key,
                   std::string_view value, const std::string& path) override;
  bool DeleteKey(std::string_view section, std::string_view key,
                 const std::string& path) override;
  bool DeleteSection(std::string_view section, const std::string& path) override;
  void BeginBatch() override;
  bool EndBatch() override;

  // Why the last refused or failed write failed, including the file write
  // at the end of a batch. Empty after a write that succeeded.
  const std::string& LastError() const { return lastError_; }

 private:
  struct File;
  struct Op;
  File* Open(const std::string& path);
  void Refresh(File& file);
  bool Modify(const std::string& path, const Op& op);
  bool Flush(File& file);

  PathMapper mapper_;
  std::map<std::filesystem::path, std::unique_ptr<File>> files_;
  int batchDepth_ = 0;
  // The files opened in the current batch, by the path as the caller gave it.
  std::unordered_map<std::string, File*> batchFiles_;
  std::string lastError_;
};

}  // namespace velandra::platform::sim
