// The registry of the simulated PC: hives of keys and values in memory, with
// the rules of the Windows registry that callers depend on, optionally bound
// to a REGEDIT4 file that every change is written back to.
//
// Windows rules kept: key and value names are case-insensitive (ASCII
// letters, as Cp932EqualsNoCase) and keep the case they were created with;
// subkeys are listed in the order Windows lists them (KeyNameOrder); values
// keep their type and bytes exactly; OpenKey never creates; a handle may do
// only what its access mask grants (query: KEY_QUERY_VALUE, set and delete
// value: KEY_SET_VALUE, enumerate: KEY_ENUMERATE_SUB_KEYS; the generic
// rights and MAXIMUM_ALLOWED map as Windows maps them); a handle whose key
// was deleted answers kErrorKeyDeleted; DeleteKey refuses a key with
// subkeys (kErrorAccessDenied). Paths are CP932: a trail byte 0x5C is no
// separator. A leading '\' is kErrorBadPathname; repeated and trailing
// separators are skipped, as Windows skips them.
//
// Beyond Windows: a name the file format cannot hold (NUL or LF inside, a
// lone lead byte at the end) is refused with kErrorInvalidParameter, and
// when the write-back of a change fails the change is undone and the call
// returns kErrorWriteFault.
#pragma once
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

#include "system/platform/registry.h"

namespace velandra::platform::sim {

class SimRegistry : public IRegistry {
 public:
  SimRegistry();
  ~SimRegistry() override;
  SimRegistry(const SimRegistry&) = delete;
  SimRegistry& operator=(const SimRegistry&) = delete;

  long OpenKey(Hive hive, std::string_view path, uint32_t access,
               std::unique_ptr<IRegistryKey>& key) override;
  long CreateKey(Hive hive, std::string_view path, uint32_t access,
                 std::unique_ptr<IRegistryKey>& key) override;
  long DeleteKey(Hive hive, std::string_view path) override;

  // Replaces the whole content with the file's and binds the registry to
  // the file: from then on every change is written back at once, through a
  // temporary file and a rename. A missing file is an empty registry (the
  // file appears with the first change). On failure `error` (UTF-8) names
  // the file and the line, and nothing changes, the binding included.
  bool LoadFile(const std::filesystem::path& file, std::string& error);
  // Replaces the whole content with a text's. A bound file is rewritten.
  bool LoadText(std::string_view regedit4, std::string& error);
  // Applies a text onto the present content as regedit imports a file:
  // keys created, values set, [-key] and "name"=- deleted.
  bool ImportText(std::string_view regedit4, std::string& error);
  // The whole content in canonical REGEDIT4.
  std::string ToRegedit4() const;
  // Why the last write-back failed (UTF-8); empty when none has.
  const std::string& LastWriteError() const;

  // Injected failures for testing what callers do with them. Each applies
  // from now until ClearFailures; paths and names match case-insensitively.
  // OpenKey and CreateKey of the key return `code`, the output untouched.
  void FailOpen(Hive hive, std::string_view path, long code);
  // QueryValue of that value (present or not) through any handle of the key.
  void FailQuery(Hive hive, std::string_view path, std::string_view valueName,
                 long code);
  // SetValue of that value; the stored value stays as it was.
  void FailSetValue(Hive hive, std::string_view path,
                    std::string_view valueName, long code);
  void ClearFailures();

  struct State;

 private:
  std::shared_ptr<State> state_;
};

}  // namespace velandra::platform::sim
