#include "brand/BrandTool.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <exception>
#include <filesystem>
#include <string_view>

#include "base/FileError.h"
#include "brand/BrandFolderCheck.h"
#include "settings/CipherContext.h"
#include "settings/ContainerFile.h"
#include "settings/SettingsFile.h"
#include "settings/SettingsFileState.h"
#include "settings/SettingsTemplate.h"

namespace quorvane {

namespace {

constexpr std::string_view kProgram = "quorvane-brand";

struct BrandOptions {
  std::string password{kSettingsPassword};
  bool passwordGiven = false;
  bool online = false;
  std::vector<std::string> operands;  // after the command name
  const BrandToolParts* parts = nullptr;
};

struct BrandCommand {
  std::string_view name;
  std::string_view operandNames;  // as shown in the usage line
  std::string_view summary;
  std::size_t operandCount;
  int (*run)(const BrandOptions& options, std::ostream& out, std::ostream& err);
};

int Encrypt(const BrandOptions& options, std::ostream&, std::ostream& err) {
  const std::string& plain = options.operands[0];
  const std::string& dat = options.operands[1];
  try {
    EncryptContainerFile(plain, dat, options.password);
    return kBrandExitOk;
  } catch (const std::exception& e) {
    err << kProgram << ": " << e.what() << '\n';
    return kBrandExitError;
  }
}

int Decrypt(const BrandOptions& options, std::ostream&, std::ostream& err) {
  const std::string& dat = options.operands[0];
  const std::string& plain = options.operands[1];
  try {
    switch (DecryptContainerFile(dat, plain, options.password)) {
      case CryptError::None:
        return kBrandExitOk;
      case CryptError::WrongPassword:
        // A settings text that was never encrypted fails the same check;
        // calling it a wrong password would send the publisher astray.
        if (HoldsSettingsTags(ReadSettingsFileBytes(dat))) {
          err << kProgram << ": " << dat << ": "
              << DescribeSettingsTrouble(SettingsFileTrouble::PlainText)
              << " (encrypt it with quorvane-brand encrypt); " << plain << " not written\n";
          return kBrandExitPlainText;
        }
        err << kProgram << ": " << dat << ": wrong password (the password check failed); " << plain
            << " not written\n";
        return kBrandExitWrongPassword;
      case CryptError::ShortSource:
        err << kProgram << ": " << dat << ": damaged data (too short to be a container); " << plain
            << " not written\n";
        return kBrandExitDamaged;
      case CryptError::CodeMismatch:
        err << kProgram << ": " << dat << ": damaged data (authentication code mismatch); "
            << "the decrypted text was written to " << plain << '\n';
        return kBrandExitDamaged;
      default:
        err << kProgram << ": " << dat << ": cannot decrypt\n";
        return kBrandExitError;
    }
  } catch (const std::exception& e) {
    err << kProgram << ": " << e.what() << '\n';
    return kBrandExitError;
  }
}

int Template(const BrandOptions&, std::ostream& out, std::ostream&) {
  out << SettingsTemplate();
  return out ? kBrandExitOk : kBrandExitError;
}

int Check(const BrandOptions& options, std::ostream& out, std::ostream& err) {
  const std::string& folder = options.operands[0];
  BrandCheckOptions check;
  check.pictures = options.parts->pictures;
  if (options.online) check.askNews = options.parts->askNews;
  std::error_code ec;
  if (!std::filesystem::is_directory(folder, ec)) {
    err << kProgram << ": " << folder << ": not a folder\n";
    return kBrandExitError;
  }
  try {
    const BrandProblems problems = CheckBrandFolder(folder, check);
    for (const BrandProblem& problem : problems) out << FormatProblem(problem, folder) << '\n';
    if (problems.empty()) {
      out << folder << ": ready to ship\n";
      return kBrandExitOk;
    }
    err << kProgram << ": " << folder << ": " << problems.size()
        << (problems.size() == 1 ? " problem" : " problems") << "; not ready to ship\n";
    return kBrandExitProblems;
  } catch (const std::exception& e) {
    err << kProgram << ": " << e.what() << '\n';
    return kBrandExitError;
  }
}

// Subcommands; a new one needs only an entry here and its function.
constexpr std::array kCommands = {
    BrandCommand{"encrypt", "PLAIN DAT", "encrypt the text file PLAIN into the container DAT", 2,
                 Encrypt},
    BrandCommand{"decrypt", "DAT PLAIN", "decrypt the container DAT into the text file PLAIN", 2,
                 Decrypt},
    BrandCommand{"template", "", "print a settings text with every tag, ready to fill in", 0,
                 Template},
    BrandCommand{"check", "[--online] FOLDER",
                 "check a brand folder before shipping it: one line per problem", 1, Check},
};

// "name OPERANDS", or the bare name for a command without operands.
std::string Synopsis(const BrandCommand& command) {
  std::string text(command.name);
  if (!command.operandNames.empty()) text += ' ' + std::string(command.operandNames);
  return text;
}

void PrintHelp(std::ostream& out) {
  out << "Usage:\n";
  for (const auto& command : kCommands) {
    const std::string_view password = command.run == Check ? "" : "[--password P] ";
    out << "  " << kProgram << " " << password << Synopsis(command) << '\n';
  }
  out << "\nReads and writes the encrypted brand settings file (dbsettings.dat) that\n"
         "the program decrypts at start-up, and checks a brand folder.\n\n";
  for (const auto& command : kCommands) {
    std::string left = Synopsis(command);
    left.resize(std::max<std::size_t>(left.size() + 2, 26), ' ');
    out << "  " << left << command.summary << '\n';
  }
  out << "  --password P              use P instead of the settings password; at most 128\n"
         "                            bytes: under 32 bytes AES-128, under 48 AES-192,\n"
         "                            else AES-256 (not for check, which reads the folder\n"
         "                            as the program does)\n"
         "  --online                  check also asks the brand's news service the\n"
         "                            program's first question, once, without following\n"
         "                            a redirect; without it check uses no network\n"
         "  --help                    show this text\n\n"
         "Output files are written under a temporary name and renamed into place when\n"
         "complete, so a failure leaves an existing file as it was.\n\n"
         "Exit status:\n"
         "  0  success; for check: the brand is ready to ship\n"
         "  1  wrong password: the password check failed, nothing was written;\n"
         "     for check: problems were found, one line each\n"
         "  2  damaged data: the authentication code does not match (the decrypted\n"
         "     text is written all the same), or the file is too short to be a container\n"
         "  3  usage or file error\n"
         "  4  decrypt: the file is a plain settings text, never encrypted\n";
}

// One line: the reason, then the short usage.
int UsageError(std::ostream& err, const std::string& reason) {
  err << kProgram << ": " << reason << " (usage: " << kProgram << " [--password P]";
  std::string_view separator = " ";
  for (const auto& command : kCommands) {
    err << separator << Synopsis(command);
    separator = " | ";
  }
  err << "; see --help)\n";
  return kBrandExitError;
}

}  // namespace

int RunBrandTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                 const BrandToolParts& parts) {
  BrandOptions options;
  options.parts = &parts;
  std::vector<std::string> positional;
  bool optionsEnded = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (optionsEnded || arg.empty() || arg[0] != '-' || arg == "-") {
      positional.push_back(arg);
    } else if (arg == "--") {
      optionsEnded = true;
    } else if (arg == "--help" || arg == "-h") {
      PrintHelp(out);
      return kBrandExitOk;
    } else if (arg == "--password") {
      if (i + 1 == args.size()) return UsageError(err, "--password needs a value");
      options.password = args[++i];
      options.passwordGiven = true;
    } else if (arg.starts_with("--password=")) {
      options.password = arg.substr(std::string_view("--password=").size());
      options.passwordGiven = true;
    } else if (arg == "--online") {
      options.online = true;
    } else {
      return UsageError(err, "unknown option " + arg);
    }
  }
  if (options.password.size() > kMaxPasswordLength) {
    return UsageError(err, "the password is longer than 128 bytes");
  }
  if (positional.empty()) return UsageError(err, "no command given");

  for (const auto& command : kCommands) {
    if (positional[0] != command.name) continue;
    options.operands.assign(positional.begin() + 1, positional.end());
    if (command.run == Check && options.passwordGiven) {
      return UsageError(err,
                        "check reads the folder as the program does, with its own password; "
                        "--password does not apply");
    }
    if (command.run != Check && options.online) return UsageError(err, "--online is for check");
    if (command.run == Check && parts.pictures == nullptr) {
      return UsageError(err, "check is not available in this build");
    }
    if (options.operands.size() != command.operandCount) {
      const std::string wanted = command.operandNames.empty()
                                     ? " takes no operands"
                                     : " needs " + std::string(command.operandNames);
      return UsageError(err, std::string(command.name) + wanted);
    }
    return command.run(options, out, err);
  }
  return UsageError(err, "unknown command " + positional[0]);
}

}  // namespace quorvane
