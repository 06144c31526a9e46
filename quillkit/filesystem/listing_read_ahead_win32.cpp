#include "quillkit/filesystem/listing_read_ahead.h"

namespace quillkit {

// Windows lists a folder with FindFirstFileA and FindNextFileA as the walk goes: there is
// no listing to read ahead.
struct ListingReadAhead::State {};

ListingReadAhead::ListingReadAhead() = default;
ListingReadAhead::~ListingReadAhead() = default;

void ListingReadAhead::expect(const std::vector<std::string>&) {}

}  // namespace quillkit
