// Reference timing for regex_bench: the search worker's two expressions in ECMAScript's RegExp over a saved
// page, every group of every match read. Usage: node reference.js PAGE.html ITERATIONS
// Prints the mean seconds per pass and the row count. "." is written [^\n], as the program's engine reads it.
'use strict';
const fs = require('fs');
const page = fs.readFileSync(process.argv[2], 'utf8');
const iterations = Number(process.argv[3]);

function pass() {
    const names = /[\s\S]data-hash=[^\n]*?>([^\n]*?)<\/h5>/gim;
    const details = /[\s\S]*?prop_val">([^\n]*?)<\/span>[\s\S]*?prop_val">([^\n]*?)<\/span>[\s\S]*?prop_val">([^\n]*?)<\/span>[\s\S]*?href="([^\n]*?)">/gim;
    const nameMatches = [...page.matchAll(names)];
    const detailMatches = [...page.matchAll(details)];
    let cells = 0;
    for (let j = 0; j < nameMatches.length; j++) {
        const row = [nameMatches[j][1]];
        for (let m = 1; m <= 4; m++) row.push(detailMatches[j] ? detailMatches[j][m] : '');
        cells += row.length;
    }
    return [nameMatches.length, cells];
}

let result;
for (let i = 0; i < Math.max(20, iterations / 10); i++) result = pass();
const start = process.hrtime.bigint();
for (let i = 0; i < iterations; i++) result = pass();
const seconds = Number(process.hrtime.bigint() - start) / 1e9 / iterations;
console.log(seconds, result[0]);
