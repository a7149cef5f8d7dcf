#pragma once
// Byte streams: the abstract TStream, an in-memory stream and a file stream.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/rtl/object.h"

namespace corvida {

enum TSeekOrigin { soBeginning, soCurrent, soEnd };

// File open modes, with the values the runtime library gives them.
inline constexpr unsigned fmOpenRead = 0x0000;
inline constexpr unsigned fmOpenWrite = 0x0001;
inline constexpr unsigned fmOpenReadWrite = 0x0002;
inline constexpr unsigned fmShareDenyWrite = 0x0020;
inline constexpr unsigned fmShareDenyNone = 0x0040;
inline constexpr unsigned fmCreate = 0xFF00;

class TStream : public TObject {
 public:
  CORVIDA_CLASS_NAME(TStream)

  virtual int64_t Read(void* buffer, int64_t count) = 0;
  virtual int64_t Write(const void* buffer, int64_t count) = 0;
  virtual int64_t Seek(int64_t offset, TSeekOrigin origin) = 0;
  virtual void SetSize(int64_t size) = 0;

  int64_t Position() { return Seek(0, soCurrent); }
  void SetPosition(int64_t position) { Seek(position, soBeginning); }
  int64_t Size();

  // Exact reads and writes: EReadError or EWriteError when short.
  void ReadBuffer(void* buffer, int64_t count);
  void WriteBuffer(const void* buffer, int64_t count);
  // Copies count bytes from source; 0 copies the whole source from its start.
  int64_t CopyFrom(TStream& source, int64_t count);
};

class TMemoryStream : public TStream {
 public:
  CORVIDA_CLASS_NAME(TMemoryStream)

  int64_t Read(void* buffer, int64_t count) override;
  int64_t Write(const void* buffer, int64_t count) override;
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;
  void SetSize(int64_t size) override;

  void Clear();
  // Whole-file read: EFOpenError when the file cannot be opened.
  void LoadFromFile(const std::string& path);
  void LoadFromStream(TStream& stream);
  void SaveToStream(TStream& stream);

  char* Memory() { return data_.data(); }
  const char* Memory() const { return data_.data(); }
  int64_t DataSize() const { return static_cast<int64_t>(data_.size()); }

 private:
  std::vector<char> data_;
  int64_t position_ = 0;
};

// A stream over a file. The mode is one of the fmOpen values or fmCreate,
// with share flags; failures raise EFOpenError or EFCreateError naming the
// path and the system's reason.
class TFileStream : public TStream {
 public:
  CORVIDA_CLASS_NAME(TFileStream)
  TFileStream(const std::string& path, unsigned mode);
  ~TFileStream() override;
  // A file without a name in the system's temporary folder ($TMPDIR, else
  // /tmp), for reading and writing: it goes when it is closed, whatever
  // ends the program. Raises EFCreateError naming the folder.
  static std::unique_ptr<TFileStream> CreateTemporary();

  // Raises EReadError naming the file, with the system's reason, when a read
  // fails; only the end of the file gives less than count.
  int64_t Read(void* buffer, int64_t count) override;
  // Raises EWriteError naming the file, with the system's reason, when a
  // write fails (a full disk).
  int64_t Write(const void* buffer, int64_t count) override;
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;
  void SetSize(int64_t size) override;

  const std::string& FileName() const { return path_; }
  int Handle() const { return fd_; }

 private:
  TFileStream(int fd, std::string path) : path_(std::move(path)), fd_(fd) {}

  std::string path_;
  int fd_ = -1;
};

// The system's text for an errno value, in CP932.
std::string SystemErrorMessage(int error);

}  // namespace corvida
