#include "system/platform/sim/sim_registry.h"

#include <algorithm>
#include <map>
#include <optional>
#include <system_error>
#include <vector>

#include "system/platform/sim/host_files.h"
#include "system/platform/sim/regedit4.h"
#include "system/platform/text.h"
#include "system/platform/win_types.h"

namespace velandra::platform::sim {

namespace {

constexpr int kHiveCount = 4;

// Generic rights and MAXIMUM_ALLOWED, mapped as Windows maps them for keys.
constexpr uint32_t kGenericReadRight = 0x80000000;
constexpr uint32_t kGenericWriteRight = 0x40000000;
constexpr uint32_t kGenericExecuteRight = 0x20000000;
constexpr uint32_t kGenericAllRight = 0x10000000;
constexpr uint32_t kMaximumAllowed = 0x02000000;

uint32_t GrantedAccess(uint32_t asked) {
  uint32_t granted = asked;
  if (asked & (kGenericReadRight | kGenericExecuteRight)) granted |= kKeyRead;
  if (asked & kGenericWriteRight) granted |= kKeyWrite;
  if (asked & (kGenericAllRight | kMaximumAllowed)) granted |= kKeyAllAccess;
  return granted;
}

struct Value {
  std::string name;
  uint32_t type = 0;
  std::string data;
};

struct Node {
  std::string name;
  Node* parent = nullptr;
  // Subkeys by upper-cased name: equal keys are Cp932EqualsNoCase names.
  std::map<std::string, std::shared_ptr<Node>> children;
  std::vector<Value> values;  // in creation order, as RegEnumValue lists them
  bool deleted = false;
  // Subkeys in enumeration order, rebuilt after a change.
  std::vector<Node*> order;
  bool orderStale = true;
  std::optional<KeyNameOrder> sortKey;
};

using Roots = std::shared_ptr<Node>[kHiveCount];

int HiveIndex(Hive hive) {
  int i = static_cast<int>(hive);
  return i >= 0 && i < kHiveCount ? i : -1;
}

const std::vector<Node*>& Ordered(Node& node) {
  if (node.orderStale) {
    node.order.clear();
    for (auto& [upper, child] : node.children) {
      if (!child->sortKey) child->sortKey = OrderOfKeyName(child->name);
      node.order.push_back(child.get());
    }
    std::sort(node.order.begin(), node.order.end(),
              [](const Node* a, const Node* b) { return *a->sortKey < *b->sortKey; });
    node.orderStale = false;
  }
  return node.order;
}

void MarkDeleted(Node& node) {
  node.deleted = true;
  node.parent = nullptr;
  for (auto& [upper, child] : node.children) MarkDeleted(*child);
}

// Components of a registry path. As in Windows, a leading '\' is
// kErrorBadPathname while repeated and trailing separators are skipped.
long SplitRegistryPath(std::string_view path, std::vector<std::string_view>& parts) {
  parts.clear();
  if (path.find('\0') != std::string_view::npos) return kErrorInvalidParameter;
  if (!path.empty() && path[0] == '\\') return kErrorBadPathname;
  size_t start = 0;
  while (start < path.size()) {
    size_t next = Cp932Find(path, '\\', start);
    std::string_view part = path.substr(
        start, next == std::string_view::npos ? std::string_view::npos : next - start);
    if (!part.empty()) parts.push_back(part);
    if (next == std::string_view::npos) break;
    start = next + 1;
  }
  return kErrorSuccess;
}

// Path as failures are matched: components upper-cased, empty ones dropped.
std::string MatchPath(std::string_view path) {
  std::string out;
  size_t start = 0;
  while (start <= path.size()) {
    size_t next = Cp932Find(path, '\\', start);
    std::string_view part = path.substr(
        start, next == std::string_view::npos ? std::string_view::npos : next - start);
    if (!part.empty()) {
      if (!out.empty()) out.push_back('\\');
      out += Cp932ToUpperAscii(part);
    }
    if (next == std::string_view::npos) break;
    start = next + 1;
  }
  return out;
}

std::string PathOf(const Node& node) {
  std::vector<const Node*> chain;
  for (const Node* n = &node; n && n->parent; n = n->parent) chain.push_back(n);
  std::string out;
  for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
    if (!out.empty()) out.push_back('\\');
    out += (*it)->name;
  }
  return out;
}

Node* FindChild(Node& node, std::string_view name) {
  auto it = node.children.find(Cp932ToUpperAscii(name));
  return it == node.children.end() ? nullptr : it->second.get();
}

Node* Find(Node& root, const std::vector<std::string_view>& parts) {
  Node* node = &root;
  for (std::string_view part : parts) {
    node = FindChild(*node, part);
    if (!node) return nullptr;
  }
  return node;
}

std::shared_ptr<Node> SharedOf(Node& node, const Roots& roots) {
  if (!node.parent) {
    for (const auto& root : roots)
      if (root.get() == &node) return root;
    return nullptr;
  }
  return node.parent->children.at(Cp932ToUpperAscii(node.name));
}

Node* AddChild(Node& parent, std::string_view name) {
  auto child = std::make_shared<Node>();
  child->name = std::string(name);
  child->parent = &parent;
  Node* raw = child.get();
  parent.children.emplace(Cp932ToUpperAscii(name), std::move(child));
  parent.orderStale = true;
  return raw;
}

// Creates what is missing; `created` (when given) receives the topmost key
// that did not exist before.
Node* Ensure(Node& root, const std::vector<std::string_view>& parts,
             Node** created = nullptr) {
  Node* node = &root;
  for (std::string_view part : parts) {
    Node* child = FindChild(*node, part);
    if (!child) {
      child = AddChild(*node, part);
      if (created && !*created) *created = child;
    }
    node = child;
  }
  return node;
}

std::shared_ptr<Node> Detach(Node& node) {
  Node* parent = node.parent;
  auto it = parent->children.find(Cp932ToUpperAscii(node.name));
  std::shared_ptr<Node> owned = it->second;
  parent->children.erase(it);
  parent->orderStale = true;
  return owned;
}

std::vector<Value>::iterator FindValue(Node& node, std::string_view name) {
  return std::find_if(node.values.begin(), node.values.end(), [&](const Value& v) {
    return Cp932EqualsNoCase(v.name, name);
  });
}

// Overwriting keeps the name as first created, as Windows does.
void StoreValue(Node& node, std::string_view name, uint32_t type, std::string data) {
  auto it = FindValue(node, name);
  if (it != node.values.end()) {
    it->type = type;
    it->data = std::move(data);
  } else {
    node.values.push_back(Value{std::string(name), type, std::move(data)});
  }
}

std::vector<std::string_view> EntryParts(const std::string& path) {
  std::vector<std::string_view> parts;
  SplitRegistryPath(path, parts);  // the parser has checked the path
  return parts;
}

void Apply(Roots& roots, const std::vector<Regedit4Entry>& entries) {
  for (const auto& e : entries) {
    Node& root = *roots[HiveIndex(e.hive)];
    std::vector<std::string_view> parts = EntryParts(e.path);
    switch (e.kind) {
      case Regedit4Entry::Kind::Key:
        Ensure(root, parts);
        break;
      case Regedit4Entry::Kind::Value:
        StoreValue(*Ensure(root, parts), e.name, e.type, e.data);
        break;
      case Regedit4Entry::Kind::DeleteValue:
        if (Node* node = Find(root, parts)) {
          auto it = FindValue(*node, e.name);
          if (it != node->values.end()) node->values.erase(it);
        }
        break;
      case Regedit4Entry::Kind::DeleteKey:
        if (Node* node = Find(root, parts); node && node->parent) {
          std::shared_ptr<Node> gone = Detach(*node);
          MarkDeleted(*gone);
        }
        break;
    }
  }
}

std::shared_ptr<Node> Clone(const Node& node, Node* parent) {
  auto copy = std::make_shared<Node>();
  copy->name = node.name;
  copy->parent = parent;
  copy->values = node.values;
  for (const auto& [upper, child] : node.children)
    copy->children.emplace(upper, Clone(*child, copy.get()));
  return copy;
}

void Collect(Node& node, Hive hive, const std::string& path,
             std::vector<Regedit4Key>& keys) {
  Regedit4Key key;
  key.hive = hive;
  key.path = path;
  for (const auto& v : node.values) key.values.push_back({v.name, v.type, v.data});
  keys.push_back(std::move(key));
  for (Node* child : Ordered(node))
    Collect(*child, hive, path.empty() ? child->name : path + "\\" + child->name, keys);
}

// Collect walks each hive as the file orders it: no sort per change.
std::string Serialize(const Roots& roots) {
  std::vector<Regedit4Key> keys;
  for (Hive hive : kRegedit4HiveOrder) Collect(*roots[HiveIndex(hive)], hive, "", keys);
  return WriteOrderedRegedit4(keys);
}

void MakeRoots(Roots& roots) {
  for (auto& root : roots) root = std::make_shared<Node>();
}

}  // namespace

struct SimRegistry::State {
  struct Failure {
    enum class Kind { Open, Query, Set } kind;
    Hive hive;
    std::string path;   // MatchPath form
    std::string value;  // for Query and Set
    long code;
  };

  Roots roots;
  std::optional<std::filesystem::path> file;
  std::vector<Failure> failures;
  std::string lastWriteError;

  State() { MakeRoots(roots); }

  // Writes the content to the bound file; false (and lastWriteError set)
  // when that fails.
  bool Persist() {
    if (!file) return true;
    std::string error;
    if (!WriteHostFileAtomically(*file, Serialize(roots), &error)) {
      lastWriteError = error.empty() ? "cannot write " + HostPathToUtf8(*file) : error;
      return false;
    }
    return true;
  }

  // The code injected for this call, or kErrorSuccess; the latest
  // injection for a target wins.
  long InjectedFailure(Failure::Kind kind, Hive hive, std::string_view path,
                       std::string_view value = {}) const {
    if (failures.empty()) return kErrorSuccess;
    const std::string match = MatchPath(path);
    for (auto it = failures.rbegin(); it != failures.rend(); ++it)
      if (it->kind == kind && it->hive == hive && it->path == match &&
          (kind == Failure::Kind::Open || Cp932EqualsNoCase(it->value, value)))
        return it->code;
    return kErrorSuccess;
  }
  long InjectedFailure(Failure::Kind kind, Hive hive, const Node& key,
                       std::string_view value) const {
    return failures.empty() ? kErrorSuccess : InjectedFailure(kind, hive, PathOf(key), value);
  }

  // Moves `fresh` in as the whole content. Keys of the old content are
  // deleted for the handles still open on them; the hive keys stay.
  void Replace(Roots& fresh) {
    for (int i = 0; i < kHiveCount; ++i) {
      Node& root = *roots[i];
      for (auto& [upper, child] : root.children) MarkDeleted(*child);
      root.children = std::move(fresh[i]->children);
      for (auto& [upper, child] : root.children) child->parent = &root;
      root.values = std::move(fresh[i]->values);
      root.orderStale = true;
    }
  }
};

namespace {

using State = SimRegistry::State;

class SimKey final : public IRegistryKey {
 public:
  SimKey(std::weak_ptr<State> state, std::shared_ptr<Node> node, Hive hive,
         uint32_t access)
      : state_(std::move(state)), node_(std::move(node)), hive_(hive),
        access_(GrantedAccess(access)) {}

  long EnumKey(uint32_t index, uint32_t size, std::string& name) override {
    auto state = state_.lock();
    if (!state) return kErrorInvalidHandle;
    if (!(access_ & kKeyEnumerateSubKeys)) return kErrorAccessDenied;
    if (node_->deleted) return kErrorKeyDeleted;
    const auto& order = Ordered(*node_);
    if (index >= order.size()) return kErrorNoMoreItems;
    const std::string& found = order[index]->name;
    if (found.size() >= size) return kErrorMoreData;
    name = found;
    return kErrorSuccess;
  }

  long QueryValue(std::string_view name, uint32_t size, uint32_t& type,
                  std::string& data) override {
    auto state = state_.lock();
    if (!state) return kErrorInvalidHandle;
    if (!(access_ & kKeyQueryValue)) return kErrorAccessDenied;
    if (node_->deleted) return kErrorKeyDeleted;
    if (long rc = state->InjectedFailure(State::Failure::Kind::Query, hive_, *node_, name))
      return rc;
    auto it = FindValue(*node_, name);
    if (it == node_->values.end()) return kErrorFileNotFound;
    type = it->type;
    if (it->data.size() > size) return kErrorMoreData;
    data = it->data;
    return kErrorSuccess;
  }

  long SetValue(std::string_view name, uint32_t type, std::string_view data) override {
    auto state = state_.lock();
    if (!state) return kErrorInvalidHandle;
    if (!(access_ & kKeySetValue)) return kErrorAccessDenied;
    if (node_->deleted) return kErrorKeyDeleted;
    if (!IsRegedit4ValueName(name)) return kErrorInvalidParameter;
    if (long rc = state->InjectedFailure(State::Failure::Kind::Set, hive_, *node_, name))
      return rc;
    auto it = FindValue(*node_, name);
    std::optional<Value> old;
    if (it != node_->values.end()) old = *it;
    StoreValue(*node_, name, type, std::string(data));
    if (!state->Persist()) {
      it = FindValue(*node_, name);
      if (old)
        *it = std::move(*old);
      else
        node_->values.erase(it);
      return kErrorWriteFault;
    }
    return kErrorSuccess;
  }

  long DeleteValue(std::string_view name) override {
    auto state = state_.lock();
    if (!state) return kErrorInvalidHandle;
    if (!(access_ & kKeySetValue)) return kErrorAccessDenied;
    if (node_->deleted) return kErrorKeyDeleted;
    auto it = FindValue(*node_, name);
    if (it == node_->values.end()) return kErrorFileNotFound;
    size_t index = static_cast<size_t>(it - node_->values.begin());
    Value old = std::move(*it);
    node_->values.erase(it);
    if (!state->Persist()) {
      node_->values.insert(node_->values.begin() + static_cast<std::ptrdiff_t>(index),
                           std::move(old));
      return kErrorWriteFault;
    }
    return kErrorSuccess;
  }

 private:
  std::weak_ptr<State> state_;
  std::shared_ptr<Node> node_;
  Hive hive_;
  uint32_t access_;
};

}  // namespace

SimRegistry::SimRegistry() : state_(std::make_shared<State>()) {}
SimRegistry::~SimRegistry() = default;

long SimRegistry::OpenKey(Hive hive, std::string_view path, uint32_t access,
                          std::unique_ptr<IRegistryKey>& key) {
  int h = HiveIndex(hive);
  if (h < 0) return kErrorInvalidHandle;
  std::vector<std::string_view> parts;
  long rc = SplitRegistryPath(path, parts);
  if (rc != kErrorSuccess) return rc;
  if (long injected = state_->InjectedFailure(State::Failure::Kind::Open, hive, path))
    return injected;
  Node* node = Find(*state_->roots[h], parts);
  if (!node) return kErrorFileNotFound;
  key = std::make_unique<SimKey>(state_, SharedOf(*node, state_->roots), hive, access);
  return kErrorSuccess;
}

long SimRegistry::CreateKey(Hive hive, std::string_view path, uint32_t access,
                            std::unique_ptr<IRegistryKey>& key) {
  int h = HiveIndex(hive);
  if (h < 0) return kErrorInvalidHandle;
  std::vector<std::string_view> parts;
  long rc = SplitRegistryPath(path, parts);
  if (rc != kErrorSuccess) return rc;
  for (std::string_view part : parts)
    if (!IsRegedit4KeyName(part)) return kErrorInvalidParameter;
  if (long injected = state_->InjectedFailure(State::Failure::Kind::Open, hive, path))
    return injected;
  Node* created = nullptr;
  Node* node = Ensure(*state_->roots[h], parts, &created);
  if (created && !state_->Persist()) {
    MarkDeleted(*Detach(*created));
    return kErrorWriteFault;
  }
  key = std::make_unique<SimKey>(state_, SharedOf(*node, state_->roots), hive, access);
  return kErrorSuccess;
}

long SimRegistry::DeleteKey(Hive hive, std::string_view path) {
  int h = HiveIndex(hive);
  if (h < 0) return kErrorInvalidHandle;
  std::vector<std::string_view> parts;
  long rc = SplitRegistryPath(path, parts);
  if (rc != kErrorSuccess) return rc;
  if (parts.empty()) return kErrorAccessDenied;  // a hive cannot be deleted
  Node* node = Find(*state_->roots[h], parts);
  if (!node) return kErrorFileNotFound;
  if (!node->children.empty()) return kErrorAccessDenied;
  Node* parent = node->parent;
  std::shared_ptr<Node> owned = Detach(*node);
  MarkDeleted(*owned);
  if (!state_->Persist()) {
    owned->deleted = false;
    owned->parent = parent;
    parent->children.emplace(Cp932ToUpperAscii(owned->name), owned);
    parent->orderStale = true;
    return kErrorWriteFault;
  }
  return kErrorSuccess;
}

bool SimRegistry::LoadFile(const std::filesystem::path& file, std::string& error) {
  const std::string source = HostPathToUtf8(file);
  std::vector<Regedit4Entry> entries;
  std::error_code ec;
  auto status = std::filesystem::status(file, ec);
  if (status.type() == std::filesystem::file_type::not_found) {
    // An empty registry; the file appears with the first change.
  } else if (ec) {
    error = source + ": " + ec.message();
    return false;
  } else if (std::filesystem::is_directory(status)) {
    error = source + ": a directory, not a registry file";
    return false;
  } else {
    std::string bytes;
    if (!ReadHostFile(file, bytes)) {
      error = source + ": cannot read the file";
      return false;
    }
    if (!ParseRegedit4(bytes, source, entries, error)) return false;
  }
  Roots fresh;
  MakeRoots(fresh);
  Apply(fresh, entries);
  state_->Replace(fresh);
  state_->file = file;
  return true;
}

bool SimRegistry::LoadText(std::string_view regedit4, std::string& error) {
  std::vector<Regedit4Entry> entries;
  if (!ParseRegedit4(regedit4, "REGEDIT4 text", entries, error)) return false;
  Roots fresh;
  MakeRoots(fresh);
  Apply(fresh, entries);
  if (state_->file) {
    std::string writeError;
    if (!WriteHostFileAtomically(*state_->file, Serialize(fresh), &writeError)) {
      error = writeError;
      return false;
    }
  }
  state_->Replace(fresh);
  return true;
}

bool SimRegistry::ImportText(std::string_view regedit4, std::string& error) {
  std::vector<Regedit4Entry> entries;
  if (!ParseRegedit4(regedit4, "REGEDIT4 text", entries, error)) return false;
  if (state_->file) {
    // Try the result on a copy first, so that a failed write changes nothing.
    Roots copy;
    for (int i = 0; i < kHiveCount; ++i) copy[i] = Clone(*state_->roots[i], nullptr);
    Apply(copy, entries);
    std::string writeError;
    if (!WriteHostFileAtomically(*state_->file, Serialize(copy), &writeError)) {
      error = writeError;
      return false;
    }
  }
  Apply(state_->roots, entries);
  return true;
}

std::string SimRegistry::ToRegedit4() const { return Serialize(state_->roots); }

const std::string& SimRegistry::LastWriteError() const { return state_->lastWriteError; }

void SimRegistry::FailOpen(Hive hive, std::string_view path, long code) {
  state_->failures.push_back({State::Failure::Kind::Open, hive, MatchPath(path), {}, code});
}

void SimRegistry::FailQuery(Hive hive, std::string_view path,
                            std::string_view valueName, long code) {
  state_->failures.push_back(
      {State::Failure::Kind::Query, hive, MatchPath(path), std::string(valueName), code});
}

void SimRegistry::FailSetValue(Hive hive, std::string_view path,
                               std::string_view valueName, long code) {
  state_->failures.push_back(
      {State::Failure::Kind::Set, hive, MatchPath(path), std::string(valueName), code});
}

void SimRegistry::ClearFailures() { state_->failures.clear(); }

}  // namespace velandra::platform::sim
