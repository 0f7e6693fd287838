#!/usr/bin/env python3
"""The rule of the Windows jobs of .github/workflows/ci.yml (windows, which builds and tests,
and windows-install, which installs the Linux job's installer): after the toolchain's set-up
(msys2/setup-msys2), every step either moves files between jobs (the artifact actions) or runs
one line `bash scripts/NAME.sh ...`, NAME being a script that make test runs. The lines are
printed, one a line and in the jobs' order, for tests/ci/hosted-steps-test.sh to run under
Wine. Prints each breach ("FAIL: ...") and exits 1 if there is one.
usage: windows-steps.py WORKFLOW"""
import re
import sys

import yaml

JOBS = ("windows", "windows-install")
SETUP = "msys2/setup-msys2@"
MOVES = ("actions/upload-artifact@", "actions/download-artifact@")
SCRIPTS = {"scripts/build.sh", "scripts/test.sh", "scripts/installed-clock.sh"}
LINE = re.compile(r"^bash (scripts/[\w.-]+)(\s.*)?$")


def job_lines(name, steps, problems):
    setups = [i for i, step in enumerate(steps) if step.get("uses", "").startswith(SETUP)]
    if not setups:
        problems.append(f"the job {name} has no msys2/setup-msys2 step")
    lines = []
    for step in steps[setups[0] + 1 if setups else 0:]:
        what = step.get("name") or step.get("uses") or step.get("run")
        if "uses" in step:
            if not step["uses"].startswith(MOVES):
                problems.append(f"{name}: step '{what}' uses {step['uses']}: after the set-up, "
                                "actions may only move artifacts")
            continue
        run = str(step.get("run", "")).strip()
        match = LINE.match(run)
        if "\n" in run or not match or match.group(1) not in SCRIPTS:
            problems.append(f"{name}: step '{what}' runs '{run}', not one line calling one of "
                            f"{sorted(SCRIPTS)}")
        else:
            lines.append(run)
    return lines


def main():
    with open(sys.argv[1], encoding="utf-8") as f:
        jobs = yaml.safe_load(f)["jobs"]
    problems, lines = [], []
    for name in JOBS:
        if name not in jobs:
            problems.append(f"the workflow has no job {name}")
            continue
        lines += job_lines(name, jobs[name].get("steps", []), problems)
    for script in sorted(SCRIPTS):
        if not any(line.startswith(f"bash {script}") for line in lines):
            problems.append(f"no step calls {script}")
    for problem in problems:
        print("FAIL: " + problem, file=sys.stderr)
    if problems:
        return 1
    print("\n".join(lines))
    return 0


if __name__ == "__main__":
    sys.exit(main())
