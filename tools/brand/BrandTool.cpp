#include "brand/BrandTool.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <exception>
#include <string_view>

#include "base/FileError.h"
#include "settings/CipherContext.h"
#include "settings/ContainerFile.h"
#include "settings/SettingsFile.h"
#include "settings/SettingsTemplate.h"

namespace quorvane {

namespace {

constexpr std::string_view kProgram = "quorvane-brand";

struct BrandOptions {
  std::string password{kSettingsPassword};
  std::vector<std::string> operands;  // after the command name
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

// Subcommands; a new one needs only an entry here and its function.
constexpr std::array kCommands = {
    BrandCommand{"encrypt", "PLAIN DAT", "encrypt the text file PLAIN into the container DAT", 2,
                 Encrypt},
    BrandCommand{"decrypt", "DAT PLAIN", "decrypt the container DAT into the text file PLAIN", 2,
                 Decrypt},
    BrandCommand{"template", "", "print a settings text with every tag, ready to fill in", 0,
                 Template},
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
    out << "  " << kProgram << " [--password P] " << Synopsis(command) << '\n';
  }
  out << "\nReads and writes the encrypted brand settings file (dbsettings.dat) that\n"
         "the program decrypts at start-up.\n\n";
  for (const auto& command : kCommands) {
    std::string left = Synopsis(command);
    left.resize(std::max<std::size_t>(left.size() + 2, 20), ' ');
    out << "  " << left << command.summary << '\n';
  }
  out << "  --password P        use P instead of the settings password; at most 128\n"
         "                      bytes: under 32 bytes AES-128, under 48 AES-192, else\n"
         "                      AES-256\n"
         "  --help              show this text\n\n"
         "Output files are written under a temporary name and renamed into place when\n"
         "complete, so a failure leaves an existing file as it was.\n\n"
         "Exit status:\n"
         "  0  success\n"
         "  1  wrong password: the password check failed, nothing was written\n"
         "  2  damaged data: the authentication code does not match (the decrypted\n"
         "     text is written all the same), or the file is too short to be a container\n"
         "  3  usage or file error\n";
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

int RunBrandTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  BrandOptions options;
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
    } else if (arg.starts_with("--password=")) {
      options.password = arg.substr(std::string_view("--password=").size());
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
