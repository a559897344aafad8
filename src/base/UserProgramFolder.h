#pragma once

#include <filesystem>
#include <string>

namespace quorvane {

// The program folder of the program that a package installs. The installed
// files belong to the system and cannot take the program's working files,
// so the program works in the user's data folder instead, and keeps there
// a copy of the brand's data files (dbsettings.dat, banners, skin, icon,
// pictures), never of a program: the executable and Updater.exe are
// started from where the package put them.
//
// On every start the copy is brought up to date, file by file: a file is
// copied when the user's folder lacks it or when the installed file has
// changed since it was last copied (a package upgrade). A file the program
// changed itself (the last-news marker inside dbsettings.dat) is kept until
// then. A copied file that the package no longer has is removed, unless it
// was changed. What was copied is recorded in ".brand-files" (the installed
// file's content hash and its name, one line each).
//
// Starts that run at the same time take turns (a lock on the folder).
// Every file is written under a unique temporary name and renamed into
// place, so a start that is stopped or meets a full disk leaves either
// the old or the new file; temporary files of a start that was killed are
// removed by the next one.
//
// The executable copies that an earlier launcher left in the folder (its
// record ".installed-files" names them) are removed.
struct UserProgramFolder {
  // The folder to work in: `user`, or `installed` when `user` cannot be
  // made or opened.
  std::filesystem::path folder;
  // Empty when the copy is complete; otherwise one line saying what could
  // not be done and that the program starts with what is there.
  std::string problem;
};

UserProgramFolder PrepareUserProgramFolder(const std::filesystem::path& installed,
                                           const std::filesystem::path& user);

}  // namespace quorvane
