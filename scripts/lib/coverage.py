"""Merges the gcov counters of the native and win64 coverage builds into one line coverage of
src/: a line counts as run when either build ran it.

    coverage.py ROOT OUT   writes OUT/summary.txt (a row per file) and OUT/unrun.txt
"""
import collections
import json
import os
import subprocess
import sys

BUILDS = (("build/coverage-native", "gcov"), ("build/coverage-win64", "x86_64-w64-mingw32-gcov"))


def gcov_files(build, tool):
    """Yields gcov's JSON account of each instrumented object."""
    for folder, _, names in os.walk(build):
        # An object no test ran has notes but no counters: all its lines count as unrun.
        datas = sorted(n for n in names if n.endswith(".gcno"))
        if not datas:
            continue
        out = subprocess.run([tool, "--json-format", "--stdout", *datas], cwd=folder,
                             capture_output=True, text=True, check=False).stdout
        for line in out.splitlines():
            if line.startswith("{"):
                yield json.loads(line)


def merge(root):
    """{source path under src/: {line: runs}} over both builds."""
    lines = collections.defaultdict(dict)
    src = os.path.join(root, "src") + os.sep
    for build, tool in BUILDS:
        for account in gcov_files(os.path.join(root, build), tool):
            for f in account.get("files", []):
                path = os.path.normpath(os.path.join(account.get("current_working_directory", ""), f["file"]))
                if not path.startswith(src):
                    continue
                counts = lines[os.path.relpath(path, root)]
                for l in f["lines"]:
                    n = l["line_number"]
                    counts[n] = counts.get(n, 0) + l["count"]
    return lines


def main(root, out):
    lines = merge(root)
    os.makedirs(out, exist_ok=True)
    total = run_total = 0
    rows, unrun = [], []
    for path in sorted(lines):
        counts = lines[path]
        if not counts:
            continue
        run = sum(1 for c in counts.values() if c > 0)
        total += len(counts)
        run_total += run
        rows.append(f"{100.0 * run / len(counts):6.1f} %  {run:4d} of {len(counts):4d}  {path}")
        with open(os.path.join(root, path), encoding="utf-8") as f:
            text = f.read().splitlines()
        for n in sorted(k for k, c in counts.items() if c == 0):
            unrun.append(f"{path}:{n}: {text[n - 1].strip() if n <= len(text) else ''}")
    rows.append(f"{100.0 * run_total / max(total, 1):6.1f} %  {run_total:4d} of {total:4d}  src/ in all")
    with open(os.path.join(out, "summary.txt"), "w", encoding="utf-8") as f:
        f.write("\n".join(rows) + "\n")
    with open(os.path.join(out, "unrun.txt"), "w", encoding="utf-8") as f:
        f.write("\n".join(unrun) + "\n")
    print("\n".join(rows))


if __name__ == "__main__":
    main(*sys.argv[1:3])
