// Share: the figure as it stands put into the page's address as a link
// (deflated, in base64url, after "#fkn=") and copied, or offered as a
// download when too large for a link; and the unpacking of such a link,
// which the start-up figure uses.
import { page, withTexts, reason, notice, hand } from './program.js';

// The figure a link carries: the figure as it stands, which the program
// writes as Save would, between two frames. While a frame waits for
// something else (a save being stored) or before the first one, Share
// waits, a few seconds at most.
var sharedPath = '/tmp/shared.fkn';
var figureWaitMs = 5000, figureAskMs = 50;  // how long Share waits, asking every figureAskMs
// 1 once written, 0 while the program cannot, -1 when it failed
function writeFigure() { return withTexts([sharedPath], Module._flopkin_write_figure); }
function figureNow() {
  var until = performance.now() + figureWaitMs;
  return new Promise(function (resolve, reject) {
    (function ask() {
      var written = Module.flopkin.frames > 0 && !page.ended ? writeFigure() : 0;
      if (written > 0) {
        var bytes = Module.FS.readFile(sharedPath);
        Module.FS.unlink(sharedPath);
        resolve(bytes);
      } else if (written < 0) reject(new Error('the figure could not be written'));
      else if (page.ended || performance.now() > until) reject(new Error('the program is busy; try again in a moment'));
      else setTimeout(ask, figureAskMs);
    })();
  });
}

// A link holds the document deflated, in base64url, after "#fkn="; links
// longer than this are refused by some browsers and servers.
var KB = 1024, MB = 1024 * KB;
var mostEncoded = 64 * KB;
// what a hostile link may unpack to before it is refused
var mostUnpacked = 64 * MB;
// bytes turned into text at a time, well within the arguments a call may take
var textChunk = 32 * KB;
function pack(bytes) {
  var deflated = new Blob([bytes]).stream().pipeThrough(new CompressionStream('deflate-raw'));
  return new Response(deflated).arrayBuffer().then(function (data) {
    var d = new Uint8Array(data), text = '';
    for (var i = 0; i < d.length; i += textChunk) text += String.fromCharCode.apply(null, d.subarray(i, i + textChunk));
    return btoa(text).replace(/\+/g, '-').replace(/\//g, '_').replace(/=+$/, '');
  });
}
export function unpack(text) {
  var raw;
  try {
    raw = atob(decodeURIComponent(text).replace(/-/g, '+').replace(/_/g, '/'));
  } catch (e) {
    return Promise.reject(new Error('it is not base64url'));
  }
  var d = new Uint8Array(raw.length);
  for (var i = 0; i < raw.length; ++i) d[i] = raw.charCodeAt(i);
  var reader = new Blob([d]).stream().pipeThrough(new DecompressionStream('deflate-raw')).getReader();
  var parts = [], size = 0;
  function next() {
    return reader.read().then(function (got) {
      if (got.done) {
        var all = new Uint8Array(size), at = 0;
        parts.forEach(function (p) { all.set(p, at); at += p.length; });
        return all;
      }
      size += got.value.length;
      if (size > mostUnpacked) {
        reader.cancel();
        throw new Error('it unpacks to more than ' + mostUnpacked / MB + ' MB');
      }
      parts.push(got.value);
      return next();
    });
  }
  return next().catch(function (failure) {
    throw new Error(failure instanceof TypeError ? 'its data is not deflated' : failure.message);
  });
}
var shareButton = document.getElementById('share');
shareButton.addEventListener('click', function () {
  if (page.ended) return;
  shareButton.disabled = true;
  notice('');
  figureNow().then(function (bytes) {
    return pack(bytes).then(function (encoded) {
      if (encoded.length > mostEncoded) {
        notice('This figure is too large for a link (' + Math.ceil(encoded.length / KB) +
               ' KB, at most ' + mostEncoded / KB + ' KB): download it instead.', function () { hand(bytes, 'flopkin.fkn'); });
        return;
      }
      // the link starts its run as this one is now: colliding or not
      var query = new URLSearchParams(location.search);
      if (Module._flopkin_collides()) query.set('collide', '1'); else query.delete('collide');
      var search = query.toString();
      history.replaceState(null, '', location.pathname + (search ? '?' + search : '') + '#fkn=' + encoded);
      var copied = navigator.clipboard ? navigator.clipboard.writeText(location.href) : Promise.reject();
      return copied.then(function () {
        notice('The link to this figure is in the address and copied.');
      }, function () {
        notice('The link to this figure is in the address: copy it from there.');
      });
    });
  }).catch(function (failure) {
    notice('Share failed: ' + reason(failure));
  }).then(function () { shareButton.disabled = false; });
});
