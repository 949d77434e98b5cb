// Tessarin site kit: MovieLink(href), called by the movie slides of the
// slide builder when their poster or caption is clicked. The movie plays in
// a small window of its own; the result tells the link whether to go on to
// the movie file itself (true: no window could be opened).

function MovieText(text) {
  return String(text).replace(/&/g, "&amp;").replace(/</g, "&lt;").replace(/>/g, "&gt;")
                     .replace(/"/g, "&quot;");
}

function MovieLink(href) {
  var anchor = document.createElement("a");
  anchor.href = href;
  var url = anchor.href;
  var name = decodeURIComponent(url.substring(url.lastIndexOf("/") + 1));
  var player = null;
  try {
    player = window.open("", "TessarinMovie", "width=680,height=560,resizable=yes");
  } catch (e) {
    player = null;
  }
  if (!player) return true;
  var page = player.document;
  page.open();
  page.write("<HTML><HEAD><TITLE>" + MovieText(name) + "</TITLE></HEAD>\n" +
             '<BODY BGCOLOR="#202020" TEXT="#F0F0F0" LINK="#A0C8FF" VLINK="#A0C8FF"><CENTER>\n' +
             '<VIDEO SRC="' + MovieText(url) + '" CONTROLS AUTOPLAY STYLE="max-width:100%; max-height:85vh">' +
             "</VIDEO>\n" +
             '<P><SMALL><A HREF="' + MovieText(url) + '" DOWNLOAD>' + MovieText(name) + "</A> &nbsp;|&nbsp; " +
             '<A HREF="javascript:window.close()">Close</A></SMALL></P>\n' +
             "</CENTER></BODY></HTML>");
  page.close();
  player.focus();
  return false;
}
