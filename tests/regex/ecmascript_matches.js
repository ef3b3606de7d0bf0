// Runs cases through ECMAScript's RegExp for the differential test of the regex layer.
// Input: a file with one JSON object per line: {"d": subject} defines the next subject (numbered from 0),
// {"p": pattern, "f": flags, "i": subject number} is a case.
// Patterns are written in the program's own dialect and adapted here to ECMAScript's: "." becomes [^\n]
// (ECMAScript's dot also stops at \r, U+2028 and U+2029) and \s, \S become the ASCII set [ \t\n\v\f\r]
// and its complement (ECMAScript's \s also takes U+3000 and other Unicode spaces).
// Output, to the file named second: one line per case: "E" when the pattern is refused, else the match count, then for each match its
// index and, for the match and each group, "-" when undefined or "u" followed by 4 hex digits per unit.
'use strict';
const fs = require('fs');

const SPACE = ' \\t\\n\\v\\f\\r';
const NOT_SPACE_RANGES = '\\0-\\x08\\x0e-\\x1f\\x21-\\uffff';

function adapt(pattern) {
    let out = '';
    let inClass = false;
    for (let i = 0; i < pattern.length; i++) {
        const c = pattern[i];
        if (c === '\\' && i + 1 < pattern.length) {
            const e = pattern[i + 1];
            i++;
            if (e === 's') out += inClass ? SPACE : '[' + SPACE + ']';
            else if (e === 'S') out += inClass ? NOT_SPACE_RANGES : '[^' + SPACE + ']';
            else out += c + e;
        } else if (inClass) {
            if (c === ']') inClass = false;
            out += c;
        } else if (c === '[') {
            inClass = true;
            out += c;
            if (pattern[i + 1] === '^') out += pattern[++i];
            if (pattern[i + 1] === ']') { out += pattern[++i]; inClass = false; }
        } else if (c === '.') {
            out += '[^\\n]';
        } else {
            out += c;
        }
    }
    return out;
}

function hex(text) {
    if (text === undefined) return '-';
    let s = 'u';
    for (let i = 0; i < text.length; i++) s += text.charCodeAt(i).toString(16).padStart(4, '0');
    return s;
}

const lines = fs.readFileSync(process.argv[2], 'utf8').split('\n');
const out = [];
const subjects = [];
for (const line of lines) {
    if (line === '') continue;
    const c = JSON.parse(line);
    if (c.d !== undefined) {
        subjects.push(c.d);
        continue;
    }
    c.s = subjects[c.i];
    let re;
    try {
        re = new RegExp(adapt(c.p), c.f);
    } catch (e) {
        out.push('E');
        continue;
    }
    const matches = c.f.includes('g') ? [...c.s.matchAll(re)] : [re.exec(c.s)].filter((m) => m !== null);
    const tokens = [String(matches.length)];
    for (const m of matches) {
        tokens.push(String(m.index));
        for (let k = 0; k < m.length; k++) tokens.push(hex(m[k]));
    }
    out.push(tokens.join(' '));
}
fs.writeFileSync(process.argv[3], out.join('\n') + '\n');
