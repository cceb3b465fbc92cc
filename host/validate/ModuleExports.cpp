#include "validate/ModuleExports.h"

#include "platform/HostFiles.h"

#include <cstdint>
#include <cstdio>
#include <memory>

namespace directive_host::validate {

namespace {

// Bounds-checked reads of little- or big-endian integers and strings; a read
// outside the image sets `bad` and gives 0 or "".
class Bytes {
public:
  Bytes(std::string_view image, bool bigEndian)
      : image_(image), bigEndian_(bigEndian) {}

  std::uint64_t Unsigned(std::uint64_t offset, int size) {
    if (offset > image_.size() ||
        image_.size() - offset < std::uint64_t(size)) {
      bad = true;
      return 0;
    }
    std::uint64_t value = 0;
    for (int i = 0; i < size; ++i) {
      const auto byte = static_cast<unsigned char>(
          image_[offset + (bigEndian_ ? i : size - 1 - i)]);
      value = value << 8 | byte;
    }
    return value;
  }

  std::string String(std::uint64_t offset) {
    if (offset >= image_.size()) {
      bad = true;
      return {};
    }
    const std::size_t end = image_.find('\0', offset);
    if (end == std::string_view::npos) {
      bad = true;
      return {};
    }
    return std::string(image_.substr(offset, end - offset));
  }

  bool bad = false;

private:
  std::string_view image_;
  bool bigEndian_;
};

constexpr std::uint32_t kDynamicSymbols = 11; // SHT_DYNSYM

struct Machine {
  std::uint16_t code;
  const char *name; // with its article
};

// ELF e_machine values, by the names their users know them by.
constexpr Machine kElfMachines[] = {
    {3, "an x86 (32-bit)"}, {8, "a MIPS"},       {20, "a PowerPC"},
    {21, "a PowerPC64"},    {22, "an S/390"},    {40, "an ARM (32-bit)"},
    {62, "an x86-64"},      {183, "an AArch64"}, {243, "a RISC-V"},
    {258, "a LoongArch"},
};

// PE Machine values; Windows tells its two x86 kinds by their width.
constexpr Machine kPeMachines[] = {
    {0x014c, "a 32-bit"},
    {0x8664, "a 64-bit"},
    {0x01c4, "an ARM (32-bit)"},
    {0xaa64, "an ARM64"},
};

#if defined(__x86_64__) || defined(_M_X64)
constexpr std::uint16_t kOwnElf = 62, kOwnPe = 0x8664;
#elif defined(__i386__) || defined(_M_IX86)
constexpr std::uint16_t kOwnElf = 3, kOwnPe = 0x014c;
#elif defined(__aarch64__) || defined(_M_ARM64)
constexpr std::uint16_t kOwnElf = 183, kOwnPe = 0xaa64;
#else
constexpr std::uint16_t kOwnElf = 0, kOwnPe = 0;
#endif

template <std::size_t N>
std::string MachineName(const Machine (&machines)[N], std::uint64_t code) {
  for (const Machine &machine : machines) {
    if (machine.code == code) {
      return machine.name;
    }
  }
  return "a machine " + std::to_string(code);
}

// `code`'s name beside this validator's, or nullopt when they are the same.
template <std::size_t N>
std::optional<std::string> Foreign(const Machine (&machines)[N],
                                   std::uint64_t code, std::uint16_t own) {
  if (code == own) {
    return std::nullopt;
  }
  const std::string ownName = MachineName(machines, own);
  return MachineName(machines, code) + " module; this validator is " +
         ownName.substr(ownName.find(' ') + 1);
}

std::string ImageOfFile(const std::string &path, bool &read) {
  const std::unique_ptr<std::FILE, int (*)(std::FILE *)> file(
      platform::OpenFile(path, "rb"), std::fclose);
  std::string image;
  read = file != nullptr;
  char chunk[65536];
  std::size_t got = 0;
  while (read && (got = std::fread(chunk, 1, sizeof chunk, file.get())) > 0) {
    image.append(chunk, got);
  }
  return image;
}

ExportList ReadElf(std::string_view image) {
  ExportList list;
  const bool wide = image.size() > 4 && image[4] == 2;
  Bytes bytes(image, image.size() > 5 && image[5] == 2);
  const auto word = [&](std::uint64_t offset) {
    return bytes.Unsigned(offset, wide ? 8 : 4);
  };
  const std::uint64_t sections = word(wide ? 0x28 : 0x20);
  const std::uint64_t sectionSize = bytes.Unsigned(wide ? 0x3a : 0x2e, 2);
  const std::uint64_t count = bytes.Unsigned(wide ? 0x3c : 0x30, 2);
  // Offsets of sh_link, sh_offset, sh_size and sh_entsize in a section
  // header.
  const std::uint64_t link = wide ? 0x28 : 0x18;
  const std::uint64_t offsetAt = wide ? 0x18 : 0x10;
  const std::uint64_t sizeAt = wide ? 0x20 : 0x14;
  const std::uint64_t entryAt = wide ? 0x38 : 0x24;
  bool found = false;
  for (std::uint64_t i = 0; i < count && !bytes.bad; ++i) {
    const std::uint64_t header = sections + i * sectionSize;
    if (bytes.Unsigned(header + 4, 4) != kDynamicSymbols) {
      continue;
    }
    found = true;
    const std::uint64_t strings =
        sections + bytes.Unsigned(header + link, 4) * sectionSize;
    const std::uint64_t stringsAt = word(strings + offsetAt);
    const std::uint64_t symbolsAt = word(header + offsetAt);
    const std::uint64_t symbolsSize = word(header + sizeAt);
    const std::uint64_t entry = word(header + entryAt);
    if (entry == 0 || bytes.bad) {
      break;
    }
    for (std::uint64_t s = entry; s + entry <= symbolsSize && !bytes.bad;
         s += entry) {
      const std::uint64_t symbol = symbolsAt + s;
      // st_info, st_other and st_shndx sit after st_name in a 64-bit symbol,
      // after st_value and st_size in a 32-bit one.
      const std::uint64_t info = symbol + (wide ? 4 : 12);
      const auto type = bytes.Unsigned(info, 1) & 0xf;
      const auto binding = bytes.Unsigned(info, 1) >> 4;
      const auto visibility = bytes.Unsigned(info + 1, 1) & 3;
      const auto section = bytes.Unsigned(info + 2, 2);
      const bool global = binding == 1 || binding == 2 || binding == 10;
      const bool visible = visibility == 0 || visibility == 3;
      if (section == 0 || !global || !visible || type == 3 || type == 4) {
        continue; // undefined, local, hidden, a section or a file
      }
      std::string name = bytes.String(stringsAt + bytes.Unsigned(symbol, 4));
      if (!name.empty()) {
        // STT_FUNC and STT_GNU_IFUNC are code.
        list.exports.push_back({std::move(name), type == 2 || type == 10});
      }
    }
  }
  if (bytes.bad) {
    list = {{}, "its ELF symbol table is cut short or damaged"};
  } else if (!found) {
    list.error = "it has no ELF dynamic symbol table";
  }
  return list;
}

ExportList ReadPe(std::string_view image) {
  ExportList list;
  Bytes bytes(image, false);
  const std::uint64_t pe = bytes.Unsigned(0x3c, 4);
  if (bytes.Unsigned(pe, 4) != 0x4550) { // "PE\0\0"
    return {{}, "it is no PE image"};
  }
  const std::uint64_t coff = pe + 4;
  const std::uint64_t sectionCount = bytes.Unsigned(coff + 2, 2);
  const std::uint64_t optional = coff + 20;
  const std::uint64_t optionalSize = bytes.Unsigned(coff + 16, 2);
  const bool plus = bytes.Unsigned(optional, 2) == 0x20b;
  const std::uint64_t directories = optional + (plus ? 112 : 96);
  if (bytes.Unsigned(optional + (plus ? 108 : 92), 4) == 0) {
    return list; // no data directories: nothing exported
  }
  const std::uint64_t exportRva = bytes.Unsigned(directories, 4);
  const std::uint64_t exportSize = bytes.Unsigned(directories + 4, 4);
  const std::uint64_t sectionTable = optional + optionalSize;
  // The file offset of a relative virtual address, through the section that
  // holds it.
  const auto fileOffset = [&](std::uint64_t rva) -> std::uint64_t {
    for (std::uint64_t i = 0; i < sectionCount; ++i) {
      const std::uint64_t section = sectionTable + i * 40;
      const std::uint64_t virtualSize = bytes.Unsigned(section + 8, 4);
      const std::uint64_t address = bytes.Unsigned(section + 12, 4);
      const std::uint64_t rawSize = bytes.Unsigned(section + 16, 4);
      const std::uint64_t raw = bytes.Unsigned(section + 20, 4);
      const std::uint64_t span = virtualSize > rawSize ? virtualSize : rawSize;
      if (rva >= address && rva < address + span) {
        return rva - address + raw;
      }
    }
    bytes.bad = true;
    return 0;
  };
  if (exportRva == 0 || bytes.bad) {
    return bytes.bad ? ExportList{{}, "its PE headers are cut short"} : list;
  }
  const std::uint64_t directory = fileOffset(exportRva);
  const std::uint64_t nameCount = bytes.Unsigned(directory + 24, 4);
  const std::uint64_t functions = fileOffset(bytes.Unsigned(directory + 28, 4));
  const std::uint64_t names = fileOffset(bytes.Unsigned(directory + 32, 4));
  const std::uint64_t ordinals = fileOffset(bytes.Unsigned(directory + 36, 4));
  for (std::uint64_t i = 0; i < nameCount && !bytes.bad; ++i) {
    std::string name =
        bytes.String(fileOffset(bytes.Unsigned(names + 4 * i, 4)));
    const std::uint64_t ordinal = bytes.Unsigned(ordinals + 2 * i, 2);
    const std::uint64_t address = bytes.Unsigned(functions + 4 * ordinal, 4);
    // An address inside the export directory names a forwarder, another
    // DLL's function.
    const bool forwarder =
        address >= exportRva && address < exportRva + exportSize;
    list.exports.push_back({std::move(name), !forwarder});
  }
  if (bytes.bad) {
    list = {{}, "its PE export table is cut short or damaged"};
  }
  return list;
}

} // namespace

ExportList ReadExports(std::string_view image) {
  if (image.starts_with("\x7f"
                        "ELF")) {
    return ReadElf(image);
  }
  if (image.starts_with("MZ")) {
    return ReadPe(image);
  }
  return {{}, "it is neither an ELF nor a PE module"};
}

ExportList ReadExportsOfFile(const std::string &path) {
  bool read = false;
  const std::string image = ImageOfFile(path, read);
  if (!read) {
    return {{}, "it cannot be read"};
  }
  return ReadExports(image);
}

std::optional<std::string> ForeignMachine(std::string_view image) {
  if (image.starts_with("\x7f"
                        "ELF")) {
    // e_machine follows e_ident and e_type, in the file's byte order.
    Bytes bytes(image, image.size() > 5 && image[5] == 2);
    const std::uint64_t code = bytes.Unsigned(18, 2);
    return bytes.bad ? std::nullopt : Foreign(kElfMachines, code, kOwnElf);
  }
  if (image.starts_with("MZ")) {
    Bytes bytes(image, false);
    const std::uint64_t pe = bytes.Unsigned(0x3c, 4);
    const std::uint64_t code = bytes.Unsigned(pe + 4, 2);
    if (bytes.Unsigned(pe, 4) != 0x4550 || bytes.bad) { // "PE\0\0"
      return std::nullopt;
    }
    return Foreign(kPeMachines, code, kOwnPe);
  }
  return std::nullopt;
}

std::string LoadFailure(const std::string &path,
                        const std::string &loaderError) {
  bool read = false;
  const auto foreign = ForeignMachine(ImageOfFile(path, read));
  return foreign ? "it is " + *foreign : loaderError;
}

} // namespace directive_host::validate
