// Fuzz target of the document reader. An input is one document from memory:
//   the flag file (the first 188 bytes, or all of a shorter input),
//   one byte n: the title's length, 255 for "no title file", 254 for a
//   length in the four little-endian bytes that follow (long title files),
//   n bytes of title, then the data file (the rest).
// Every document the reader accepts must commit into a fresh program state and
// come back byte for byte when written out and read again.
//
// The reader's source is compiled into this target so that it carries the
// fuzzer's coverage instrumentation (the documents library is built without it).
#include "documents/DocumentFile.cpp"

#include <cstdlib>
#include <memory>

namespace {

struct Program {
  ObjectTable table;
  Mesh mesh;
  GridState grid;
  FlowDisplayState display;
  DocumentState doc;
  UiState ui;
};

void Check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(bytes), size);
  const std::string_view flags = input.substr(0, FlagFileBytes);
  std::string_view rest = input.substr(flags.size());
  std::string title;
  bool hasTitle = false;
  if (!rest.empty()) {
    std::size_t n = static_cast<unsigned char>(rest[0]);
    rest.remove_prefix(1);
    if (n == 254 && rest.size() >= 4) {
      n = 0;
      for (int i = 3; i >= 0; --i) n = (n << 8) | static_cast<unsigned char>(rest[static_cast<std::size_t>(i)]);
      rest.remove_prefix(4);
    }
    if (n != 255) {
      hasTitle = true;
      title.assign(rest.substr(0, n));
      rest.remove_prefix(std::min<std::size_t>(n, rest.size()));
    }
  }
  const std::string_view data = rest;

  DocumentImage image;
  std::string reason;
  if (!LoadDocumentFromBytes(flags, data, hasTitle ? &title : nullptr, 0, image, reason)) return 0;
  if (image.Version == FormatMark) {
    // What was accepted is written back exactly as it was read (the selection
    // and list indexes may have been put right).
    DocumentImage again;
    Check(LoadDocumentFromBytes(EncodeFlagFile(image), EncodeDataFile(image), &image.Title, 0, again, reason));
    Check(again.Flags == image.Flags && again.Title == image.Title);
    Check(EncodeDataFile(again) == EncodeDataFile(image));
  }

  // A view of another size rescales; the result still commits cleanly.
  if (!LoadDocumentFromBytes(flags, data, hasTitle ? &title : nullptr, 517, image, reason)) return 0;
  auto program = std::make_unique<Program>();
  CommitDocument(image, program->table, program->mesh, program->grid, program->display, program->doc,
                 program->ui);
  Check(program->mesh.StreamFunction.size() == static_cast<std::size_t>(program->mesh.ArrayLength()));
  Check(AnyObjects(program->table) || program->table.ObjectSelected == 0);
  return 0;
}
