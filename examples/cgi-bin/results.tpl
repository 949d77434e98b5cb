${-- The body of galleria's result pages (weftcgi.ini names this template).
     galleria writes the entries found, the page links and the page count;
     the script at the end adds what was searched, from the page's own
     address, and how many entries were found: those before the last result
     page and those on it (the last page is asked for when this is not it).
     Each entry's title carries the class "found" for that count. --}
<BODY BGCOLOR="#F6F4EE" TEXT="#202020" LINK="#1A4F8A" VLINK="#5A3A7A">
<H1>Search the gallery</H1>
<P ID="searched"><NOSCRIPT>The query and the number of entries found are shown with JavaScript.</NOSCRIPT></P>
#if fileLinks | dirLinks
${table format='<?A>${nothumb}</A><?TAB><?A><B CLASS="found">${title}</B></A>{<BR><SMALL>{${desc}<?SP>{[${info}]}}</SMALL>}' columns=2 iPadding=8 hPadding=24 vPadding=12 td="VALIGN=TOP"}
<DIV ID="pages">
${pageLinks}
</DIV>
#else
<P>A query that is not written right finds nothing too: look at its quotes,
parentheses and operators (the search form shows some that work).</P>
#endif
<P><A HREF="./">New search</A></P>
<SCRIPT LANGUAGE="JavaScript1.1">
<!--
var resultPage = parseInt("${page}", 10) || 1;
var resultPages = parseInt("${pages}", 10) || 1;

// The value of one argument of a query string ("?a=1&b=2"), form-decoded.
function resultArgument(search, name) {
  var pairs = search.replace(/^\?/, "").split("&");
  for (var i = 0; i < pairs.length; i++) {
    var at = pairs[i].indexOf("=");
    if (at < 0 || pairs[i].substring(0, at) != name) continue;
    var value = pairs[i].substring(at + 1).replace(/\+/g, " ");
    try { return decodeURIComponent(value); } catch (e) { return value; }
  }
  return "";
}

// total: the number of entries found, or -1 when it could not be counted.
function showSearched(total) {
  var query = resultArgument(location.search, "query");
  var text;
  if (total < 0) text = "Entries found";
  else if (total == 0) text = "Nothing found";
  else if (total == 1) text = "1 entry found";
  else text = total + " entries found";
  text += query ? " for \u201C" + query + "\u201D" : " (no query: every entry)";
  if (resultPages > 1) {
    var first = parseInt(resultArgument(location.search, "first"), 10) || 0;
    var shown = document.getElementsByClassName("found").length;
    if (shown > 0) text += "; " + (first + 1) + " to " + (first + shown) + " shown";
  }
  document.getElementById("searched").textContent = text + ".";
}

// The entries found: with one result page, those shown; else those before
// the last page (its first) and those on it.
function countFound() {
  var shown = document.getElementsByClassName("found").length;
  if (resultPages <= 1) return showSearched(shown);
  var links = document.getElementById("pages").getElementsByTagName("A");
  var last = null;
  for (var i = 0; i < links.length; i++)
    if (links[i].textContent == String(resultPages)) last = links[i];
  if (!last) {
    var first = parseInt(resultArgument(location.search, "first"), 10) || 0;
    return showSearched(first + shown);
  }
  var request = new XMLHttpRequest();
  request.onload = function () {
    if (request.status != 200) return showSearched(-1);
    var page = new DOMParser().parseFromString(request.responseText, "text/html");
    var before = parseInt(resultArgument(last.search, "first"), 10) || 0;
    showSearched(before + page.getElementsByClassName("found").length);
  };
  request.onerror = function () { showSearched(-1); };
  request.open("GET", last.href);
  request.send();
}
countFound();
// -->
</SCRIPT>
</BODY>
