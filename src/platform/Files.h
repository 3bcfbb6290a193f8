// File-system service: the folders the program needs, directory search,
// deletion and whole-file reads and writes. Every path and name is UTF-8
// text, so any name the file system holds can be named; a path that is not
// UTF-8 reaches no file (the call fails, finds nothing). File contents are
// bytes, as stored.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace platform {

// File attributes, numbered as the file system numbers them.
enum FileAttribute : std::uint32_t {
  AttrReadOnly = 0x1,
  AttrHidden = 0x2,
  AttrSystem = 0x4,
  AttrVolumeLabel = 0x8,
  AttrDirectory = 0x10,
  AttrArchive = 0x20,
  AttrNormal = 0x80,
  AttrReparsePoint = 0x400,
};

struct FileEntry {
  std::string name;  // the bare name, "." and ".." included as the system reports them
  std::uint32_t attributes = 0;
  std::uint64_t size = 0;  // a file's length in bytes; 0 for a folder
};

// A file being written block by block; closed when it goes.
class FileWriter {
 public:
  virtual ~FileWriter() = default;
  // False when the bytes could not all be written.
  virtual bool write(const char* data, std::size_t size) = 0;
};

// Tells whether a folder may have changed since the watch began: a name
// added, removed or renamed in it, a file written or its attributes set, or
// the folder itself renamed. Changes further below are told too, though
// not reliably: Wine has been seen to miss a file arriving in a sub-folder
// that had no watch of its own. It may also say so when nothing changed.
// A watched folder that is removed may stay, empty, until its watches end,
// and its removal may go unseen.
class FolderWatch {
 public:
  virtual ~FolderWatch() = default;
  // True once a change was seen, and from then on.
  virtual bool changed() = 0;
};

class Files {
 public:
  virtual ~Files() = default;
  // The user's temp folder with its trailing separator, as the system
  // reports it; "" when that fails or does not fit MAX_PATH.
  virtual std::string tempFolder() = 0;
  // The folder of the running program, with its trailing separator.
  virtual std::string programFolder() = 0;
  // The folders no erase may empty: the Windows folder, the system folder,
  // the user's profile folder and the user's own data folders (Desktop,
  // Documents, Downloads, Pictures, Music, Videos), each without a trailing
  // separator; a folder that cannot be found is left out.
  virtual std::vector<std::string> systemFolders() = 0;

  // Every entry matching `pattern` (a folder path followed by a mask with
  // wildcards), whatever its attributes, in the system's search order.
  // Empty when nothing matches or the search fails.
  virtual std::vector<FileEntry> find(const std::string& pattern) = 0;
  virtual bool deleteFile(const std::string& path) = 0;
  virtual bool setAttributes(const std::string& path, std::uint32_t attributes) = 0;
  virtual bool removeFolder(const std::string& path) = 0;
  // True when the file is held open, so that a deletion now would leave it
  // in place. Asks without changing anything.
  virtual bool inUse(const std::string& path) = 0;

  // The whole file; nullopt when it cannot be opened or read.
  virtual std::optional<std::string> readFile(const std::string& path) = 0;
  // Creates or truncates the file and writes `data`; false when the file
  // cannot be created or a write fails (what was written so far stays).
  virtual bool writeFile(const std::string& path, const std::string& data) = 0;
  // Creates or truncates the file for writing; null when it cannot.
  virtual std::unique_ptr<FileWriter> createFile(const std::string& path) = 0;
  // Moves `from` to `to`, replacing an existing `to` in one step; a
  // read-only `to` is not replaced.
  virtual bool moveFile(const std::string& from, const std::string& to) = 0;
  // Starts watching the folder (with or without its trailing separator)
  // and, as far as the system tells, everything below it; null when it
  // cannot be watched.
  virtual std::unique_ptr<FolderWatch> watch(const std::string& folder) = 0;
};

}  // namespace platform
