// What every part of the page shares: what it knows of the program (its
// description of itself, whether the requester is up, whether the run has
// ended), the queue of input the program reads, and the calls into the
// program's exported functions. `Module` is the runtime's global object,
// which start.js makes before the runtime loads.

export var canvas = document.getElementById('canvas');
// the input for the program, which it reads from the front, a frame at a time
export var events = [];
// codes pressed and not yet released, to release on blur
export var held = new Set();
export var page = {
  described: null,  // the program's description of itself, once it runs
  modal: false,     // the requester is up: no input reaches the program
  ended: false,
  touch: false,     // the touch layout is shown
  moving: false,    // the touch layout's Move is on: a drag on a ball moves it
};

// an exported function of the program called with texts, each copied into
// the program's memory for the call; called directly, since the runtime's
// ccall would wait for the program's run to end
export function withTexts(texts, exported) {
  var copies = texts.map(function (text) {
    var size = Module.lengthBytesUTF8(text) + 1, at = Module._malloc(size);
    Module.stringToUTF8(text, at, size);
    return at;
  });
  try {
    return exported.apply(null, copies);
  } finally {
    copies.forEach(function (at) { Module._free(at); });
  }
}

// the program's JSON text from one of its exported functions, called directly
export function fromProgram(exported) {
  var text = exported();
  return text ? JSON.parse(Module.UTF8ToString(text)) : null;
}

// what a failure says of itself
export function reason(failure) { return String(failure && failure.message || failure); }

// what the program's exported function answers of a document's bytes, put
// in its memory for the call, with the further texts given
var askedPath = '/tmp/asked.fkn';
export function askOfBytes(bytes, exported, texts) {
  Module.FS.writeFile(askedPath, bytes);
  try {
    return withTexts([askedPath].concat(texts || []), exported);
  } finally {
    Module.FS.unlink(askedPath);
  }
}
// A figure of very many balls takes seconds to open and runs slowly: it
// opens once the person says so. The program counts a document's balls
// from its bytes, and names the count only past what it opens unasked.
export function opensLarge(balls) {
  return window.confirm('This figure has ' + balls.toLocaleString('en') + ' balls: it takes a while to open ' +
                        'and runs slowly. Open it?');
}
export function largeAsked(bytes) {
  var balls = askOfBytes(bytes, Module._flopkin_balls_to_ask);
  return !balls || opensLarge(balls);
}

// a line beside the page's controls, for what the page has to say
var noticeText = document.getElementById('notice');
var noticeDownload = document.getElementById('notice-download');
export function notice(text, offered) {
  noticeText.textContent = text;
  noticeDownload.hidden = !offered;
  noticeDownload.onclick = offered || null;
}

// bytes handed to the browser to keep on the computer; the address made
// for them is let go once the browser has surely taken them
var handOverMs = 1000;
export function hand(bytes, fileName) {
  var a = document.createElement('a');
  a.href = URL.createObjectURL(new Blob([bytes], { type: 'application/octet-stream' }));
  a.download = fileName;
  document.body.appendChild(a);
  a.click();
  a.remove();
  setTimeout(function () { URL.revokeObjectURL(a.href); }, handOverMs);
}

// a key event carries the modifiers held with it; Cmd counts as Ctrl.
// Nothing is queued before the program runs and has said what its events are.
export function modifiers(e) {
  var m = page.described.modifiers;
  return (e.shiftKey ? m.shift : 0) | (e.ctrlKey || e.metaKey ? m.ctrl : 0);
}
export function push(kind, a, b) {
  if (page.described && !page.modal && !page.ended) events.push([page.described.events[kind], a, b || 0]);
}
export function press(code, repeat, mods) { held.add(code); push(repeat ? 'key_repeat' : 'key_press', code, mods); }
export function release(code, mods) { if (held.delete(code)) push('key_release', code, mods); }
export function releaseAll() { held.forEach(function (code) { release(code); }); }
// a control beside the canvas: a press, or its release
export function control(number, down) { push(down ? 'control_press' : 'control_release', number); }
export function tapControl(number) { control(number, true); control(number, false); }
