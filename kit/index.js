// Tessarin site kit: the link functions of the index pages.
//
// IndexLink(href)      links=open: a page opens in a window of its own.
// FramesetLink(href)   a page made of frames (a sequence index) fills the
//                      whole window, never a frame of this page.
// SlideLink(number)    slides=window: the slide window (slides.htm of the
//                      icons folder) shows the index page's slides, page[],
//                      starting with page[number].
//
// The slide window reads the slide list from the window that opened it; the
// searchable index (search.htm) uses OpenSlideWindow with a list of its own.

// The absolute form of a link written in this page.
function KitAbsoluteUrl(href) {
  var anchor = document.createElement("a");
  anchor.href = href;
  return anchor.href;
}

function IndexLink(href) {
  var opened = null;
  try {
    opened = window.open(KitAbsoluteUrl(href), "_blank");
  } catch (e) {
    opened = null;
  }
  if (opened) {
    opened.focus();
  } else {
    location.href = href;
  }
}

function FramesetLink(href) {
  top.location.href = KitAbsoluteUrl(href);
}

// Opens the slide window (or takes the open one) on slide `number` (from 1)
// of the list that `source` holds in its variables pages and page[]; slide
// names are relative to the folder of source's page. False when no window
// could be opened.
function OpenSlideWindow(source, slidesUrl, number) {
  var width = Math.min(screen.availWidth - 40, 1024);
  var height = Math.min(screen.availHeight - 60, 800);
  var features = "width=" + width + ",height=" + height + ",resizable=yes,scrollbars=yes";
  var slides = null;
  // The new window reads its list from the window that opened it, which is
  // this one, wherever the list lives.
  window.slideSource = source;
  try {
    slides = window.open("", "TessarinSlides", features);
  } catch (e) {
    slides = null;
  }
  if (!slides) return false;
  try {
    if (slides.ShowSlides && slides.location.href.indexOf("slides.htm") >= 0) {
      slides.ShowSlides(source, number);
      slides.focus();
      return true;
    }
  } catch (e) {
    // Another site's page in the window: it is replaced below.
  }
  slides.location.replace(KitAbsoluteUrl(slidesUrl) + "#" + number);
  slides.focus();
  return true;
}

function SlideLink(number) {
  if (!OpenSlideWindow(window, iconDir + "/slides.htm", number + 1)) {
    location.href = page[number];
  }
}
