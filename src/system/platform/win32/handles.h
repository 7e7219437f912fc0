// Move-only owners of the Win32 objects the backend uses: kernel handles,
// file and find handles, LocalAlloc and NetApiBuffer memory, COM interfaces.
// Each closes what it holds when destroyed; release() hands ownership out.
#pragma once

#include "system/platform/win32/win_api.h"
#include <lmcons.h>
#include <lmapibuf.h>

#include <utility>

namespace velandra::platform::win32 {

// One owned value of Traits::Type; Traits::Invalid() means "nothing held".
template <typename Traits>
class UniqueResource {
 public:
  using Type = typename Traits::Type;

  UniqueResource() noexcept = default;
  explicit UniqueResource(Type value) noexcept : value_(value) {}
  UniqueResource(UniqueResource&& other) noexcept : value_(other.release()) {}
  UniqueResource& operator=(UniqueResource&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  UniqueResource(const UniqueResource&) = delete;
  UniqueResource& operator=(const UniqueResource&) = delete;
  ~UniqueResource() { reset(); }

  Type get() const noexcept { return value_; }
  bool valid() const noexcept { return value_ != Traits::Invalid(); }
  explicit operator bool() const noexcept { return valid(); }

  // Gives up ownership without closing.
  Type release() noexcept { return std::exchange(value_, Traits::Invalid()); }
  // Closes what is held and takes `value`.
  void reset(Type value = Traits::Invalid()) noexcept {
    Type old = std::exchange(value_, value);
    if (old != Traits::Invalid()) Traits::Close(old);
  }
  // For an output parameter: closes what is held and lets the call fill it.
  Type* put() noexcept {
    reset();
    return &value_;
  }

 private:
  Type value_ = Traits::Invalid();
};

// Handles that are NULL when absent: tokens, processes, threads, events.
struct KernelHandleTraits {
  using Type = HANDLE;
  static Type Invalid() noexcept { return nullptr; }
  static void Close(Type h) noexcept { ::CloseHandle(h); }
};
using Handle = UniqueResource<KernelHandleTraits>;
using TokenHandle = Handle;

// CreateFileA reports failure with INVALID_HANDLE_VALUE, not NULL.
struct FileHandleTraits {
  using Type = HANDLE;
  static Type Invalid() noexcept { return INVALID_HANDLE_VALUE; }
  static void Close(Type h) noexcept { ::CloseHandle(h); }
};
using FileHandle = UniqueResource<FileHandleTraits>;

struct FindHandleTraits {
  using Type = HANDLE;
  static Type Invalid() noexcept { return INVALID_HANDLE_VALUE; }
  static void Close(Type h) noexcept { ::FindClose(h); }
};
using FindHandle = UniqueResource<FindHandleTraits>;

template <typename T>
struct LocalMemoryTraits {
  using Type = T*;
  static Type Invalid() noexcept { return nullptr; }
  static void Close(Type p) noexcept {
    ::LocalFree(p);
  }
};
// Memory from LocalAlloc, or returned by a call that says to LocalFree it.
template <typename T = void>
using LocalMemory = UniqueResource<LocalMemoryTraits<T>>;

// LocalAlloc(LMEM_FIXED | LMEM_ZEROINIT, bytes); empty when it fails.
template <typename T = void>
LocalMemory<T> LocalAllocate(SIZE_T bytes) {
  return LocalMemory<T>(static_cast<T*>(::LocalAlloc(LPTR, bytes)));
}

template <typename T>
struct NetApiBufferTraits {
  using Type = T*;
  static Type Invalid() noexcept { return nullptr; }
  static void Close(Type p) noexcept {
    ::NetApiBufferFree(p);
  }
};
// A buffer that a netapi32 call allocated.
template <typename T = BYTE>
using NetApiBuffer = UniqueResource<NetApiBufferTraits<T>>;

// One reference to a COM interface.
template <typename T>
class ComPtr {
 public:
  ComPtr() noexcept = default;
  explicit ComPtr(T* p) noexcept : p_(p) {}
  ComPtr(ComPtr&& other) noexcept : p_(other.release()) {}
  ComPtr& operator=(ComPtr&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;
  ~ComPtr() { reset(); }

  T* get() const noexcept { return p_; }
  T* operator->() const noexcept { return p_; }
  explicit operator bool() const noexcept { return p_ != nullptr; }

  T* release() noexcept { return std::exchange(p_, nullptr); }
  void reset(T* p = nullptr) noexcept {
    T* old = std::exchange(p_, p);
    if (old) old->Release();
  }
  // For CoCreateInstance and QueryInterface: releases what is held first.
  void** put_void() noexcept {
    reset();
    return reinterpret_cast<void**>(&p_);
  }

 private:
  T* p_ = nullptr;
};

}  // namespace velandra::platform::win32
