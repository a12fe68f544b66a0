#include "script/json_script_library.h"

// Notes on the engine: it knows only ES3 (no JSON, Array.isArray, Object.keys
// or Array.prototype.indexOf), and Object.prototype.toString gives
// "[object Object]" for null and undefined, so the helpers test for those
// first. Every for-in here also meets the two enumerable functions the JSON
// part adds to Object.prototype; the class and typeof tests keep them out.
const wchar_t kJsonScriptLibrary[] = LR"js(
function get__nodeValue(node, recurse) {
  var key, value, kind;
  for (key in node) {
    value = node[key];
    if (value === null || value === undefined) continue;
    kind = Object.prototype.toString.call(value);
    if (kind == '[object Object]' || kind == '[object Array]') {
      if (recurse) get__nodeValue(value, recurse);
    } else if (kind == '[object String]' || kind == '[object Number]' || kind == '[object Boolean]') {
      str_all.push(value);
    }
  }
  return str_all;
}

function get__count(value) {
  return Object.prototype.toString.call(value) == '[object Array]' ? value.length : 0;
}

function get__name_All(value) {
  var names = [], key;
  if (value === null || value === undefined || Object.prototype.toString.call(value) != '[object Object]') return '';
  for (key in value) {
    if (typeof value[key] != 'function') names.push(key);
  }
  return names.join('\r\n');
}

// Merges source into target and returns target: arrays are appended to,
// objects merged member by member (recursively where both sides hold
// objects), functions of the target left alone.
function get__extend(target, source) {
  var key, mine, theirs;
  if (Object.prototype.toString.call(target) == '[object Array]') {
    for (key = 0; key < source.length; key++) target.push(source[key]);
    return target;
  }
  for (key in source) {
    mine = target[key];
    theirs = source[key];
    if (typeof mine == 'function') continue;
    if (typeof mine == 'object' && mine !== null && typeof theirs == 'object' && theirs !== null) {
      target[key] = get__extend(mine, theirs);
    } else {
      target[key] = theirs;
    }
  }
  return target;
}

if (typeof JSON != 'object' || JSON === null) {
  JSON = {};
  (function () {
    var classOf = Object.prototype.toString, ownsKey = Object.prototype.hasOwnProperty;

    function pad2(n) { return n < 10 ? '0' + n : String(n); }
    if (typeof Date.prototype.toJSON != 'function') {
      Date.prototype.toJSON = function () {
        if (!isFinite(this.valueOf())) return null;
        return this.getUTCFullYear() + '-' + pad2(this.getUTCMonth() + 1) + '-' + pad2(this.getUTCDate()) +
          'T' + pad2(this.getUTCHours()) + ':' + pad2(this.getUTCMinutes()) + ':' + pad2(this.getUTCSeconds()) + 'Z';
      };
      String.prototype.toJSON = Number.prototype.toJSON = Boolean.prototype.toJSON = function () {
        return this.valueOf();
      };
    }

    // Quotes, backslashes, control characters and the invisible or
    // line-breaking characters that some readers mishandle are escaped.
    var escapable = /[\\\"\x00-\x1f\x7f-\x9f\u00ad\u0600-\u0604\u070f\u17b4\u17b5\u200c-\u200f\u2028-\u202f\u2060-\u206f\ufeff\ufff0-\uffff]/g;
    var shortForms = { '\b': '\\b', '\t': '\\t', '\n': '\\n', '\f': '\\f', '\r': '\\r', '"': '\\"', '\\': '\\\\' };
    function escapeOne(c) {
      var known = shortForms[c];
      if (typeof known == 'string') return known;
      return '\\u' + ('0000' + c.charCodeAt(0).toString(16)).slice(-4);
    }
    function quote(text) {
      escapable.lastIndex = 0;
      return '"' + (escapable.test(text) ? text.replace(escapable, escapeOne) : text) + '"';
    }

    function joinParts(parts, open, close, outer, inner) {
      if (parts.length == 0) return open + close;
      if (inner == outer) return open + parts.join(',') + close;
      return open + '\n' + inner + parts.join(',\n' + inner) + '\n' + outer + close;
    }

    JSON.stringify = function (value, replacer, space) {
      var step = '', i;
      if (typeof space == 'number') {
        for (i = 0; i < space; i++) step += ' ';
      } else if (typeof space == 'string') {
        step = space;
      }
      if (replacer && typeof replacer != 'function' &&
          (typeof replacer != 'object' || typeof replacer.length != 'number')) {
        throw new Error('JSON.stringify');
      }

      // The text of holder[key], or undefined when it has none.
      function write(holder, key, outer) {
        var item = holder[key], inner, parts = [], i, name;
        function member(name) {
          var text = write(item, name, inner);
          if (text) parts.push(quote(name) + (step ? ': ' : ':') + text);
        }
        if (item && typeof item == 'object' && typeof item.toJSON == 'function') item = item.toJSON(key);
        if (typeof replacer == 'function') item = replacer.call(holder, key, item);
        switch (typeof item) {
          case 'string':
            return quote(item);
          case 'number':
            return isFinite(item) ? String(item) : 'null';
          case 'boolean':
            return String(item);
          case 'object':
            if (!item) return 'null';
            inner = outer + step;
            if (classOf.apply(item) == '[object Array]') {
              for (i = 0; i < item.length; i++) parts[i] = write(item, i, inner) || 'null';
              return joinParts(parts, '[', ']', outer, inner);
            }
            if (replacer && typeof replacer == 'object') {
              for (i = 0; i < replacer.length; i++) {
                if (typeof replacer[i] == 'string') member(replacer[i]);
              }
            } else {
              for (name in item) {
                if (ownsKey.call(item, name)) member(name);
              }
            }
            return joinParts(parts, '{', '}', outer, inner);
        }
        return undefined;
      }
      return write({ '': value }, '', '');
    };

    // Reads the text character by character: nothing of it is ever run.
    var unescapes = { '"': '"', '\\': '\\', '/': '/', b: '\b', f: '\f', n: '\n', r: '\r', t: '\t' };
    JSON.parse = function (source, reviver) {
      var text = String(source), at = 0, result;

      function fail(what) { throw new SyntaxError('JSON.parse: ' + what + ' at ' + at); }
      function skipSpace() {
        var c;
        while (at < text.length) {
          c = text.charAt(at);
          if (c != ' ' && c != '\t' && c != '\n' && c != '\r') break;
          at++;
        }
      }
      function digits() {
        var start = at, c;
        while (at < text.length) {
          c = text.charAt(at);
          if (c < '0' || c > '9') break;
          at++;
        }
        return at > start;
      }
      function readNumber() {
        var start = at, c;
        if (text.charAt(at) == '-') at++;
        c = text.charAt(at);
        if (c == '0') at++;
        else if (!(c >= '1' && c <= '9') || !digits()) fail('bad number');
        if (text.charAt(at) == '.') {
          at++;
          if (!digits()) fail('bad number');
        }
        c = text.charAt(at);
        if (c == 'e' || c == 'E') {
          at++;
          c = text.charAt(at);
          if (c == '+' || c == '-') at++;
          if (!digits()) fail('bad number');
        }
        // The text is a checked JSON number; parseFloat reads every such
        // form, where this engine's Number() fails on a fraction with an
        // exponent.
        return parseFloat(text.substring(start, at));
      }
      function readString() {
        var parts = [], from, code, c, hex, known;
        from = ++at;
        for (;;) {
          if (at >= text.length) fail('unterminated string');
          code = text.charCodeAt(at);
          if (code == 34) {
            parts.push(text.substring(from, at++));
            return parts.join('');
          }
          if (code < 32) fail('control character in string');
          if (code != 92) {
            at++;
            continue;
          }
          parts.push(text.substring(from, at));
          c = text.charAt(at + 1);
          if (c == 'u') {
            hex = text.substr(at + 2, 4);
            if (!/^[0-9a-fA-F]{4}$/.test(hex)) fail('bad escape');
            parts.push(String.fromCharCode(parseInt(hex, 16)));
            at += 6;
          } else {
            known = c.length == 1 ? unescapes[c] : undefined;
            if (typeof known != 'string') fail('bad escape');
            parts.push(known);
            at += 2;
          }
          from = at;
        }
      }
      function readWord(word, value) {
        if (text.substr(at, word.length) != word) fail('unexpected character');
        at += word.length;
        return value;
      }
      function readValue() {
        var list, object, key, c;
        skipSpace();
        c = text.charAt(at);
        if (c == '"') return readString();
        if (c == 't') return readWord('true', true);
        if (c == 'f') return readWord('false', false);
        if (c == 'n') return readWord('null', null);
        if (c == '[') {
          list = [];
          at++;
          skipSpace();
          if (text.charAt(at) == ']') {
            at++;
            return list;
          }
          for (;;) {
            list.push(readValue());
            skipSpace();
            c = text.charAt(at++);
            if (c == ']') return list;
            if (c != ',') fail('expected , or ]');
          }
        }
        if (c == '{') {
          object = {};
          at++;
          skipSpace();
          if (text.charAt(at) == '}') {
            at++;
            return object;
          }
          for (;;) {
            skipSpace();
            if (text.charAt(at) != '"') fail('expected a member name');
            key = readString();
            skipSpace();
            if (text.charAt(at++) != ':') fail('expected :');
            object[key] = readValue();
            skipSpace();
            c = text.charAt(at++);
            if (c == '}') return object;
            if (c != ',') fail('expected , or }');
          }
        }
        return readNumber();
      }
      function revive(holder, key) {
        var node = holder[key], name, value;
        if (node && typeof node == 'object') {
          for (name in node) {
            if (!ownsKey.call(node, name)) continue;
            value = revive(node, name);
            if (value !== undefined) node[name] = value;
            else delete node[name];
          }
        }
        return reviver.call(holder, key, node);
      }

      result = readValue();
      skipSpace();
      if (at < text.length) fail('unexpected text after the value');
      return typeof reviver == 'function' ? revive({ '': result }, '') : result;
    };

    Object.prototype.toJSONString = function (replacer, space) { return JSON.stringify(this, replacer, space); };
    Object.prototype.parseJSON = function (reviver) { return JSON.parse(this, reviver); };
  }());
}
)js";
