#pragma once

#include <filesystem>
#include <optional>
#include <vector>

namespace quorvane {

// The folder of the journals: "journals" in the user's state folder.
std::filesystem::path JournalFolder();

// A place for one running program's journal in the journals folder: the
// journal "<id>.journal" and the lock file "<id>.lock", where the id is
// made of the process id and a random part. The program holds an exclusive
// lock (flock) on the lock file as long as it runs; the system lets it go
// when the process ends, however it ends. So a journal whose lock nobody
// holds belongs to a program that ended without removing it: a crash, a
// kill, a power cut. Two copies running at once each have their own slot
// and never take each other's.
//
// The journal itself is replaced as a whole (AtomicFileWriter), which is
// why the lock lives in a file of its own.
class JournalSlot {
 public:
  // A new slot in `folder` (made for the user alone if missing), its lock
  // held; nullopt when the folder or the lock file cannot be made.
  static std::optional<JournalSlot> Open(const std::filesystem::path& folder);
  // The slots of `folder` whose journal is there and whose lock is free,
  // newest journal first, each now locked by the caller. Lock files left
  // without a journal are removed on the way.
  static std::vector<JournalSlot> Orphans(const std::filesystem::path& folder);

  JournalSlot(JournalSlot&& other) noexcept;
  JournalSlot& operator=(JournalSlot&& other) noexcept;
  JournalSlot(const JournalSlot&) = delete;
  JournalSlot& operator=(const JournalSlot&) = delete;
  // Lets the lock go; the files stay.
  ~JournalSlot();

  // Empty once the slot has been removed or set aside.
  const std::filesystem::path& JournalPath() const { return journal_; }

  // Removes the journal, the temporary files a killed write left of it and
  // the lock file, then lets the lock go. The slot is spent afterwards.
  void Remove();
  // Renames the journal to a name no slot reads ("<id>.unreadable", or with
  // a number added when that is taken), removes the lock file and lets the
  // lock go. Returns the new name, or nullopt when the rename failed (the
  // journal then stays where it is).
  std::optional<std::filesystem::path> SetAside();

 private:
  JournalSlot(std::filesystem::path journal, std::filesystem::path lock, int fd);
  void Release();

  std::filesystem::path journal_;
  std::filesystem::path lock_;
  int fd_ = -1;
};

}  // namespace quorvane
