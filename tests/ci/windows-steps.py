#!/usr/bin/env python3
"""The rule of the Windows job of .github/workflows/ci.yml: after the toolchain's set-up
(msys2/setup-msys2), every step either moves files between jobs (the artifact actions) or runs
one line `bash scripts/NAME.sh ...`, NAME being a script that make test runs: build.sh and
test.sh are make test's own steps; the lines of installed-clock.sh are printed, one a line,
for tests/ci/hosted-steps-test.sh to run under Wine. Prints each breach ("FAIL: ...") and
exits 1 if there is one.
usage: windows-steps.py WORKFLOW"""
import re
import sys

import yaml

SETUP = "msys2/setup-msys2@"
MOVES = ("actions/upload-artifact@", "actions/download-artifact@")
MAKE_TEST_STEPS = {"scripts/build.sh", "scripts/test.sh"}
RUN_UNDER_WINE = {"scripts/installed-clock.sh"}
LINE = re.compile(r"^bash (scripts/[\w.-]+)(\s.*)?$")


def main():
    with open(sys.argv[1], encoding="utf-8") as f:
        steps = yaml.safe_load(f)["jobs"]["windows"]["steps"]
    setups = [i for i, step in enumerate(steps) if step.get("uses", "").startswith(SETUP)]
    problems, lines = [], []
    if not setups:
        problems.append("the Windows job has no msys2/setup-msys2 step")
    for step in steps[setups[0] + 1 if setups else 0:]:
        what = step.get("name") or step.get("uses") or step.get("run")
        if "uses" in step:
            if not step["uses"].startswith(MOVES):
                problems.append(f"step '{what}' uses {step['uses']}: after the set-up, actions "
                                "may only move artifacts")
            continue
        run = str(step.get("run", "")).strip()
        match = LINE.match(run)
        if "\n" in run or not match or match.group(1) not in MAKE_TEST_STEPS | RUN_UNDER_WINE:
            problems.append(f"step '{what}' runs '{run}', not one line calling one of "
                            f"{sorted(MAKE_TEST_STEPS | RUN_UNDER_WINE)}")
        elif match.group(1) in RUN_UNDER_WINE:
            lines.append(run)
    if not lines:
        problems.append("no step calls scripts/installed-clock.sh")
    for problem in problems:
        print("FAIL: " + problem, file=sys.stderr)
    if problems:
        return 1
    print("\n".join(lines))
    return 0


if __name__ == "__main__":
    sys.exit(main())
