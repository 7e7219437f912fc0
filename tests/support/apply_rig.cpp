#include "support/apply_rig.h"

#include "support/demo_pc_facts.h"
#include "system/platform/sim/batch_interpreter.h"

namespace velandra::testing {

std::unique_ptr<platform::IToken> RecordingSession::LogOn(const std::string& user,
                                                     const std::string& domain,
                                                     const std::string& password, long& error) {
  logons.push_back(user + "|" + domain + "|" + password);
  if (logonError) {
    error = logonError;
    return nullptr;
  }
  return std::make_unique<Token>(*this);
}

bool RecordingSession::Impersonate(platform::IToken&, long& error) {
  ++impersonations;
  if (impersonateError) {
    error = impersonateError;
    return false;
  }
  impersonating = true;
  return true;
}

bool RecordingSession::RevertToSelf(long& error) {
  ++reverts;
  if (revertError) {
    error = revertError;
    return false;
  }
  impersonating = false;
  return true;
}

namespace {

class RecordingKey : public platform::IRegistryKey {
 public:
  RecordingKey(std::unique_ptr<platform::IRegistryKey> key, std::string path,
               std::vector<RecordingRegistry::Write>& writes, const RecordingSession& session)
      : key_(std::move(key)), path_(std::move(path)), writes_(writes), session_(session) {}
  long EnumKey(uint32_t index, uint32_t size, std::string& name) override {
    return key_->EnumKey(index, size, name);
  }
  long QueryValue(std::string_view name, uint32_t size, uint32_t& type,
                  std::string& data) override {
    return key_->QueryValue(name, size, type, data);
  }
  long SetValue(std::string_view name, uint32_t type, std::string_view data) override {
    writes_.push_back({path_ + "\\" + std::string(name), session_.impersonating});
    return key_->SetValue(name, type, data);
  }
  long DeleteValue(std::string_view name) override {
    writes_.push_back({path_ + "\\" + std::string(name), session_.impersonating});
    return key_->DeleteValue(name);
  }

 private:
  std::unique_ptr<platform::IRegistryKey> key_;
  std::string path_;
  std::vector<RecordingRegistry::Write>& writes_;
  const RecordingSession& session_;
};

}  // namespace

long RecordingRegistry::Wrap(long rc, std::string_view path,
                             std::unique_ptr<platform::IRegistryKey>& key,
                             std::unique_ptr<platform::IRegistryKey>& opened) {
  if (rc == platform::kErrorSuccess)
    key = std::make_unique<RecordingKey>(std::move(opened), std::string(path), writes, session_);
  return rc;
}

long RecordingRegistry::OpenKey(platform::Hive hive, std::string_view path, uint32_t access,
                                std::unique_ptr<platform::IRegistryKey>& key) {
  std::unique_ptr<platform::IRegistryKey> opened;
  return Wrap(pc_.OpenKey(hive, path, access, opened), path, key, opened);
}

long RecordingRegistry::CreateKey(platform::Hive hive, std::string_view path, uint32_t access,
                                  std::unique_ptr<platform::IRegistryKey>& key) {
  std::unique_ptr<platform::IRegistryKey> opened;
  return Wrap(pc_.CreateKey(hive, path, access, opened), path, key, opened);
}

platform::sim::SimulatedPc& ApplyRig::Open() {
  if (sim) return *sim;
  sim = &pc.Open();
  platform::Platform& p = sim->platform();
  shell = std::make_unique<RecordingShell>(p.shell);
  registry = std::make_unique<RecordingRegistry>(p.registry, session);
  platform_ = std::make_unique<platform::Platform>(platform::Platform{
      p.profile, *registry, p.system, p.accounts, p.files, *shell, p.messages, p.processes,
      session, p.drives, p.printers, p.shares, p.domain});
  return *sim;
}

std::string ApplyRig::AdaptersWritten() const {
  bool lan = false, wlan = false;
  for (const auto& w : registry->writes) {
    if (w.Value.size() >= 7 && w.Value.compare(w.Value.size() - 7, 7, "\\Domain") == 0) continue;
    lan |= w.Value.find(kDemoLanGuid) != std::string::npos;
    wlan |= w.Value.find(kDemoWlanGuid) != std::string::npos;
  }
  return std::string(lan ? "L" : "") + (wlan ? "W" : "");
}

bool ApplyRig::BatchRan() const {
  for (const std::string& e : sim->Events())
    if (e.rfind(platform::sim::kBatchCommandEvent, 0) == 0) return true;
  return false;
}

std::vector<std::string> ApplyRig::MessageTexts() const {
  std::vector<std::string> texts;
  for (const auto& m : sim->Messages()) texts.push_back(m.Text);
  return texts;
}

}  // namespace velandra::testing
