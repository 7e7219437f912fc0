// A run of save all for the test that kills it half-way
// (config_backup_test.cpp): loads the simulated PC's Velandra.ini, changes
// every record, and saves all section by section: after the writes of each
// section the file is rewritten in place, in small pieces, as kernel32 does
// for each key, so that a kill can leave the file cut anywhere, between two
// sections or inside one. (Per section rather than per key keeps the run
// short enough to be killed many times; the mixes it leaves are the same
// kind.)
//
//   velandra_interrupted_save PC-DIRECTORY
// Exit code 0 saved, 1 save all failed, 2 the PC or its file did not load.
#include <sys/stat.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>

#include "support/demo_pc_facts.h"
#include "system/context.h"
#include "system/os_info.h"
#include "system/platform/sim/host_files.h"
#include "system/platform/sim/simulated_pc.h"
#include "ui/velandra_sheet.h"

namespace {

using namespace velandra;

// Writes go to a shadow file through the PC's own profile, held per section;
// when the writes move on to another section, the shadow is written and the
// real file truncated and written again piece by piece. Reads come from the
// shadow's profile, which holds what the real file is becoming.
class InPlaceProfile : public platform::IProfile {
 public:
  InPlaceProfile(platform::sim::SimulatedPc& pc, platform::IProfile& inner)
      : pc_(pc), inner_(inner) {}

  std::string GetString(std::string_view section, std::string_view key, std::string_view def,
                        uint32_t size, const std::string& path) override {
    return inner_.GetString(section, key, def, size, Shadow(path));
  }
  int GetInt(std::string_view section, std::string_view key, int def,
             const std::string& path) override {
    return inner_.GetInt(section, key, def, Shadow(path));
  }
  std::string GetSection(std::string_view section, uint32_t size,
                         const std::string& path) override {
    return inner_.GetSection(section, size, Shadow(path));
  }
  bool WriteString(std::string_view section, std::string_view key, std::string_view value,
                   const std::string& path) override {
    return Enter(section, path) && inner_.WriteString(section, key, value, Shadow(path));
  }
  bool DeleteKey(std::string_view section, std::string_view key,
                 const std::string& path) override {
    return Enter(section, path) && inner_.DeleteKey(section, key, Shadow(path));
  }
  bool DeleteSection(std::string_view section, const std::string& path) override {
    return Enter(section, path) && inner_.DeleteSection(section, Shadow(path));
  }
  // Save all's own batch does not hold the writes back; its end writes the
  // last section.
  void BeginBatch() override {}
  bool EndBatch() override { return Leave(); }

 private:
  // The shadow starts as a copy of the real file, at the first use.
  std::string Shadow(const std::string& path) {
    const std::string shadow = path + ".shadow";
    if (!started_) {
      started_ = true;
      std::filesystem::path real, copy;
      pc_.MapPath(path, real);
      pc_.MapPath(shadow, copy);
      std::error_code ec;
      std::filesystem::remove(copy, ec);
      std::string data;
      if (platform::sim::ReadHostFile(real, data))
        platform::sim::WriteHostFileAtomically(copy, data);
    }
    return shadow;
  }

  bool Enter(std::string_view section, const std::string& path) {
    if (open_ && section == section_) return true;
    if (!Leave()) return false;
    inner_.BeginBatch();
    open_ = true;
    section_ = section;
    path_ = path;
    return true;
  }

  bool Leave() {
    if (!open_) return true;
    open_ = false;
    return inner_.EndBatch() && Rewrite(path_);
  }

  static bool ReadAll(const std::filesystem::path& file, std::string& data) {
    std::ifstream in(file, std::ios::binary | std::ios::ate);
    if (!in) return false;
    data.resize(static_cast<size_t>(in.tellg()));
    in.seekg(0);
    return static_cast<bool>(in.read(data.data(), static_cast<std::streamsize>(data.size())));
  }

  bool Rewrite(const std::string& path) {
    std::filesystem::path real, copy;
    pc_.MapPath(path, real);
    pc_.MapPath(Shadow(path), copy);
    // A write that changes nothing leaves the shadow as it was.
    struct stat st;
    if (::stat(copy.c_str(), &st) != 0) return false;
    if (st.st_ino == shadowInode_ && st.st_mtim.tv_nsec == shadowTime_) return true;
    shadowInode_ = st.st_ino;
    shadowTime_ = st.st_mtim.tv_nsec;
    std::string data;
    if (!ReadAll(copy, data)) return false;
    std::ofstream out(real, std::ios::binary | std::ios::trunc);
    for (size_t pos = 0; out && pos < data.size(); pos += kPiece) {
      out.write(data.data() + pos,
                static_cast<std::streamsize>(std::min(kPiece, data.size() - pos)));
      out.flush();
    }
    return static_cast<bool>(out);
  }

  static constexpr size_t kPiece = 4096;
  platform::sim::SimulatedPc& pc_;
  platform::IProfile& inner_;
  bool started_ = false;
  bool open_ = false;
  std::string section_, path_;
  ino_t shadowInode_ = 0;
  long shadowTime_ = -1;
};

std::string Numbered(const char* text, size_t n) { return text + std::to_string(n); }

// Every record gets new values, so that any mix of old and new shows.
void ChangeEverything(ui::CVelandraSheet& sheet) {
  sheet.Common.ExitMode = (sheet.Common.ExitMode + 1) % 4;
  sheet.Common.DELAYSLEEP += 250;
  sheet.Common.EDITOR = "C:\\エディタ\\表示.exe";
  for (size_t i = 0; i < sheet.Places.size(); ++i)
    sheet.Places[i]->Name += "・改";
  for (size_t i = 0; i < sheet.AdapterSettingsList.size(); ++i) {
    config::AdapterSettings& s = *sheet.AdapterSettingsList[i];
    s.EnableDHCP = false;
    s.IPAddress = {Numbered("10.9.", i) + ".1"};
    s.SubnetMask = {"255.255.0.0"};
    s.DNS_Server = {"10.9.0.53", Numbered("10.9.0.", i % 250)};
    s.EnableDNS = false;
    s.DOMAIN_Suffix = Numbered("新.example", i);
  }
  for (size_t i = 0; i < sheet.PlaceSettingsList.size(); ++i) {
    config::PlaceSettings& s = *sheet.PlaceSettingsList[i];
    s.ComputerName = Numbered("NEW-PC", i);
    s.SrvComment = Numbered("新しい説明", i);
    s.WorkgroupName = "NEWGROUP";
  }
  sheet.CurrentPlace = sheet.Places.back().get();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: velandra_interrupted_save PC-DIRECTORY\n";
    return 2;
  }
  std::string error;
  auto pc = platform::sim::SimulatedPc::Open(platform::sim::HostPathFromUtf8(argv[1]), error);
  if (!pc) {
    std::cerr << "velandra_interrupted_save: " << error << "\n";
    return 2;
  }
  pc->SetConsole(nullptr);
  platform::Platform& p = pc->platform();
  InPlaceProfile profile(*pc, p.profile);
  platform::Platform keyByKey{profile,     p.registry, p.system,  p.accounts, p.files,
                              p.shell,     p.messages, p.processes, p.session, p.drives,
                              p.printers,  p.shares,   p.domain};
  Context context(keyByKey, velandra::testing::kDemoIniPath, ReadOsInfo(keyByKey.system));
  ui::CVelandraSheet sheet(context);
  if (!sheet.LoadAll()) return 2;
  ChangeEverything(sheet);
  return sheet.SaveAll() ? 0 : 1;
}
