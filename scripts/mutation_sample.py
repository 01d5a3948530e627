#!/usr/bin/env python3
"""How much do the tests catch? A sample of small source changes, each built and tested.

Each mutant swaps one operator or constant in one line of src/ (< for <=, == for !=, && for ||,
+ 1 for - 1, true for false), builds, runs the whole suite and records which tests failed. The
checkout is changed in place and restored after each mutant, so it must be a clean one, not the
tree you work in:

    git worktree add --detach ../qel-mutants main
    cmake -S ../qel-mutants -B ../qel-mutants/build -G Ninja -DCMAKE_CXX_COMPILER_LAUNCHER=ccache
    scripts/mutation_sample.py ../qel-mutants --count 120 --seed 7 --out mutants.jsonl
    scripts/mutation_sample.py --report mutants.jsonl
    scripts/mutation_sample.py ../qel-mutants --again mutants.jsonl --out after.jsonl

A mutant takes about 25 s on two cores. A run with the same seed and file continues where it
stopped. The report gives the share caught, how many tests caught each, and the mutants that
no test caught (some of them change nothing a user could see).
"""
import argparse
import collections
import json
import os
import random
import re
import signal
import subprocess
import sys
import time

SWAPS = [(' < ', ' <= '), (' <= ', ' < '), (' > ', ' >= '), (' >= ', ' > '), (' == ', ' != '),
         (' != ', ' == '), (' && ', ' || '), (' || ', ' && '), (' + 1', ' - 1'), (' - 1', ' + 1'),
         ('true', 'false'), ('false', 'true')]


def blank_strings(line):
    return re.sub(r'"(\\.|[^"\\])*"', lambda m: ' ' * len(m.group(0)), line)


def is_word(text, k, length):
    before, after = text[k - 1:k], text[k + length:k + length + 1]
    return not (before.isalnum() or before == '_' or after.isalnum() or after == '_')


def sites(checkout, folders):
    """Every place a swap applies, outside comments, string literals and stream operators."""
    found = []
    for folder, _, files in sorted(os.walk(os.path.join(checkout, 'src'))):
        subsystem = os.path.relpath(folder, os.path.join(checkout, 'src')).split(os.sep)[0]
        if subsystem == 'app' or (folders and subsystem not in folders):
            continue
        for name in sorted(f for f in files if f.endswith('.cpp')):
            path = os.path.join(folder, name)
            with open(path, encoding='utf-8') as f:
                lines = f.read().split('\n')
            for i, line in enumerate(lines):
                stripped = line.strip()
                if not stripped or stripped.startswith(('//', '#', '*')):
                    continue
                code = blank_strings(line.split('//')[0])
                for old, new in SWAPS:
                    k = code.find(old)
                    while k >= 0:
                        keyword = old in ('true', 'false')
                        stream = old in (' < ', ' > ') and ('<<' in code[k - 1:k + 3] or '>>' in code[k - 1:k + 3])
                        if (not keyword or is_word(code, k, len(old))) and not stream:
                            found.append((os.path.relpath(path, checkout), i, k, old, new))
                        k = code.find(old, k + 1)
    return found


def run(checkout, command, timeout):
    env = dict(os.environ, QT_QPA_PLATFORM='offscreen')
    try:
        p = subprocess.run(command, cwd=checkout, capture_output=True, text=True, timeout=timeout, env=env)
        return p.returncode, p.stdout + p.stderr
    except subprocess.TimeoutExpired:
        return None, ''


def mutate(args):
    checkout = os.path.abspath(args.checkout)
    if checkout == os.path.dirname(os.path.dirname(os.path.abspath(__file__))):
        sys.exit('this is the checkout the script runs from; give it a clean checkout of its own')
    if subprocess.run(['git', 'status', '--porcelain', '--untracked-files=no'], cwd=checkout,
                      capture_output=True, text=True).stdout.strip():
        sys.exit(f'{checkout} has uncommitted changes; use a clean checkout of its own')
    # Stopped from outside, the line in hand is still put back.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit('stopped'))
    if args.again:
        # The same mutants again, for instance after tests were changed: did they stay caught?
        with open(args.again) as f:
            candidates = [(r['file'], r['line'] - 1, r['col'], r['from'], r['to'], r['text'])
                          for r in map(json.loads, f) if r['status'] in ('killed', 'survived')]
        args.count = len(candidates)
    else:
        candidates = [site + (None,) for site in sites(checkout, args.folders.split(',') if args.folders else [])]
        random.Random(args.seed).shuffle(candidates)
    done = set()
    if os.path.exists(args.out):
        with open(args.out) as f:
            done = {(r['file'], r['line'], r['col'], r['from']) for r in map(json.loads, f)}
    tested = 0
    for rel, i, k, old, new, text in candidates:
        if tested >= args.count:
            break
        if (rel, i + 1, k, old) in done:
            tested += 1
            continue
        path = os.path.join(checkout, rel)
        with open(path, encoding='utf-8') as f:
            lines = f.read().split('\n')
        if text is not None and (i >= len(lines) or lines[i].strip() != text):
            # The line has moved since it was recorded: the nearest line of the same text.
            same = [j for j, line in enumerate(lines) if line.strip() == text]
            if not same:
                print('gone', rel, i + 1, text[:60], flush=True)
                continue
            i = min(same, key=lambda j: abs(j - i))
        original = lines[i]
        if original[k:k + len(old)] != old:
            found = [j for j in range(len(original)) if original.startswith(old, j)]
            if len(found) != 1:
                print('gone', rel, i + 1, text[:60] if text else '', flush=True)
                continue
            k = found[0]
        lines[i] = original[:k] + new + original[k + len(old):]
        with open(path, 'w', encoding='utf-8') as f:
            f.write('\n'.join(lines))
        started = time.time()
        record = {'file': rel, 'line': i + 1, 'col': k, 'from': old, 'to': new, 'text': original.strip()}
        try:
            status, _ = run(checkout, ['cmake', '--build', 'build', '-j', str(os.cpu_count())], 900)
            if status != 0:
                record['status'] = 'nocompile'
            else:
                status, log = run(checkout, ['ctest', '--test-dir', 'build', '-j', str(os.cpu_count()),
                                             '--timeout', '60'], 1200)
                failed = re.findall(r'^\s*\d+ - (\S+) \(', log, re.M)
                record['killed_by'] = failed
                record['status'] = 'killed' if failed else ('survived' if status == 0 else 'error')
        finally:
            subprocess.run(['git', 'checkout', '--', rel], cwd=checkout, check=True)
        record['seconds'] = round(time.time() - started)
        if record['status'] != 'nocompile':
            tested += 1
        with open(args.out, 'a') as f:
            f.write(json.dumps(record) + '\n')
        print(record['status'], rel, i + 1, old.strip(), '->', new.strip(), len(record.get('killed_by', [])),
              flush=True)


def report(path):
    with open(path) as f:
        records = [r for r in map(json.loads, f) if r['status'] in ('killed', 'survived')]
    killed = [r for r in records if r['status'] == 'killed']
    print(f'{len(killed)} of {len(records)} mutants caught ({100 * len(killed) / max(len(records), 1):.0f} %)')
    counts = collections.Counter(min(len(r['killed_by']), 6) for r in killed)
    print('tests failing per caught mutant:', ', '.join(
        f"{'6 or more' if n == 6 else n}: {counts[n]}" for n in sorted(counts)))
    by_folder = collections.defaultdict(lambda: [0, 0])
    for r in records:
        entry = by_folder[r['file'].split('/')[1]]
        entry[0] += 1
        entry[1] += r['status'] == 'killed'
    print('caught by folder of src:', ', '.join(f'{k} {v[1]}/{v[0]}' for k, v in sorted(by_folder.items())))
    print('not caught:')
    for r in records:
        if r['status'] == 'survived':
            print(f"  {r['file']}:{r['line']}: {r['from'].strip()} -> {r['to'].strip()}   {r['text'][:90]}")


def main():
    parser = argparse.ArgumentParser(description=__doc__.split('\n')[0])
    parser.add_argument('checkout', nargs='?', help='a clean checkout, configured into its build/')
    parser.add_argument('--count', type=int, default=40, help='mutants that compile, to build and test')
    parser.add_argument('--seed', type=int, default=1)
    parser.add_argument('--folders', help='only these folders of src, such as map,input')
    parser.add_argument('--out', default='mutants.jsonl', help='one JSON record a mutant, appended')
    parser.add_argument('--again', metavar='FILE', help='build and test the mutants recorded in FILE instead')
    parser.add_argument('--report', metavar='FILE', help='summarise the records of FILE instead')
    args = parser.parse_args()
    if args.report:
        report(args.report)
    elif args.checkout:
        mutate(args)
    else:
        parser.error('give a checkout to mutate, or --report FILE')


if __name__ == '__main__':
    main()
