// The names of image thumbnails, for the thumbnail builder that writes them
// and the listings that find them: in "thumbs" beside the image, "tn_", the
// image name with its last '.' turned into '_', then the thumbnail's own
// extension (sunset.jpg: thumbs\tn_sunset_jpg.jpg).
#pragma once

#include <cstddef>
#include <string>

// The folder beside the images that holds their thumbnails.
constexpr char kThumbsFolder[] = "thumbs";

// The thumbnail file name of an image name for the extension `pExt` (with
// its dot) into `buffer` of `size` (at least 8). At most size - length(pExt)
// - 4 characters of the image name are taken, so the extension always fits.
// Returns the buffer.
char* MakeThumbName(const char* imageName, const char* pExt, char* buffer, size_t size);

// The thumbnail path of an image path: its directory part, "thumbs\", then
// the thumbnail name, within `size` (at least 8) with the extension kept
// whole. With an extension the path is given whether the file exists or not;
// with a null one ".jpg", then ".gif" is tried and the first that exists is
// given; when neither exists the buffer is emptied and the result is null.
char* ThumbPath(const char* imagePath, const char* pExt, char* buffer, size_t size);
// The length of that path before any cut (terminator not counted).
size_t ThumbPathLength(const char* imagePath, const char* pExt);

// The image file name of a thumbnail file name ("tn_a.b_jpg.jpg" gives
// "a.b.jpg"), at most size - 1 characters; null and an empty buffer when the
// name is no thumbnail name ("tn_" prefix, ".jpg" or ".gif" extension).
char* ThumbToImageName(const char* thumbName, char* buffer, size_t size);

// The start of the names that the thumbnail search of a listing takes for an
// image name: "tn_", the name without its extension with every '.' as '_',
// then '_' (beach.jpg: "tn_beach_"; a.b.jpg: "tn_a_b_"); the search pattern
// is that start followed by "*.*". The written name of an image name with
// one '.' begins so; one with several dots keeps the earlier ones and does
// not, and is looked for by its written name.
std::string ThumbSearchPrefix(const char* imageName);
