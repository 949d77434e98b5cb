// The keywords of the page that describes an image (the image's name with
// ".htm"), read from the page's head as the site's entry reader reads them.
#pragma once

// True when the image's same-named page exists and its head gives a
// non-empty META KEYWORDS list.
bool ImagePageHasKeywords(const char* imagePath);
