#!/usr/bin/env python3
"""Runs clang-tidy's naming and braces checks over the C++ sources of the
given builds, skipping each source whose last check passed with the same
inputs: its content, the content of every project header the compiler read
for it (from the build's own dependency record), its compile command, the
configuration and clang-tidy's version. A stamp per source in each build tree
holds the digest of those inputs; a fresh build tree has none, so everything
is checked.

    tidy-changed.py ROOT BUILD_DIR...   (each BUILD_DIR holds compile_commands.json)
"""
import concurrent.futures
import hashlib
import json
import os
import shlex
import subprocess
import sys

CHECKS = ['--checks=-*,readability-identifier-naming,readability-braces-around-statements',
          '--warnings-as-errors=*']


def mingw_args():
    # The Windows side's sources are read as the cross compiler (posix threads)
    # reads them: its libstdc++ first, then clang's own headers, then the mingw headers.
    found = subprocess.run(['i686-w64-mingw32-g++-posix', '-print-file-name=include/c++'],
                           capture_output=True, text=True, check=False).stdout.strip()
    return ['--extra-arg=--target=i686-w64-mingw32', '--extra-arg=-nostdinc++', '--extra-arg=-nostdlibinc',
            f'--extra-arg=-isystem{found}', f'--extra-arg=-isystem{found}/i686-w64-mingw32',
            '--extra-arg=-idirafter/usr/i686-w64-mingw32/include']


def ninja_deps(build):
    """Object path (absolute) -> the files the compiler read for it."""
    out = subprocess.run(['ninja', '-C', build, '-t', 'deps'], capture_output=True, text=True,
                         check=False).stdout
    deps = {}
    current = None
    for line in out.splitlines():
        if line and not line[0].isspace():
            current = os.path.normpath(os.path.join(build, line.split(':', 1)[0]))
            deps[current] = []
        elif line.strip() and current:
            deps[current].append(os.path.normpath(os.path.join(build, line.strip())))
    return deps


def object_of(entry):
    words = shlex.split(entry['command'])
    if '-o' not in words:
        return None
    return os.path.normpath(os.path.join(entry['directory'], words[words.index('-o') + 1]))


class Digests:
    def __init__(self):
        self.known = {}

    def of(self, path):
        if path not in self.known:
            with open(path, 'rb') as f:
                self.known[path] = hashlib.sha256(f.read()).hexdigest()
        return self.known[path]


def main():
    root = os.path.realpath(sys.argv[1])
    builds = sys.argv[2:]
    tidy_version = subprocess.run(['clang-tidy', '--version'], capture_output=True, text=True,
                                  check=False).stdout
    with open(os.path.join(root, '.clang-tidy'), 'rb') as f:
        configuration = f.read()
    digests = Digests()
    seen = set()
    work = []  # (source, build, extra args, stamp path, digest or None)
    for build in builds:
        build = os.path.realpath(build)
        with open(os.path.join(build, 'compile_commands.json')) as f:
            database = json.load(f)
        extra = mingw_args() if any('mingw32' in e['command'] for e in database[:1]) else []
        deps = ninja_deps(build)
        stamps = os.path.join(build, 'style-stamps')
        os.makedirs(stamps, exist_ok=True)
        for entry in database:
            # Each C++ source once, from the first build that compiles it; not
            # the sources of others (GoogleTest) nor generated ones.
            source = os.path.normpath(os.path.join(entry['directory'], entry['file']))
            if not source.endswith('.cpp') or not source.startswith(root + '/') \
                    or '/build' in source[len(root):] or source in seen:
                continue
            seen.add(source)
            read = deps.get(object_of(entry))
            digest = None
            if read:
                h = hashlib.sha256()
                for part in (tidy_version.encode(), configuration, ' '.join(CHECKS + extra).encode(),
                             entry['command'].encode()):
                    h.update(hashlib.sha256(part).digest())
                # Project headers only: a system header changes with the
                # compiler, whose path and flags are in the command.
                for path in sorted(p for p in read if p.startswith(root + '/') and os.path.exists(p)):
                    h.update(f'{path}\0{digests.of(path)}\0'.encode())
                h.update(digests.of(source).encode())
                digest = h.hexdigest()
            stamp = os.path.join(stamps, hashlib.sha1(source.encode()).hexdigest())
            if digest and os.path.exists(stamp) and open(stamp).read() == digest:
                continue
            work.append((source, build, extra, stamp, digest))

    def check(item):
        source, build, extra, stamp, digest = item
        result = subprocess.run(['clang-tidy', '-p', build, '--quiet'] + CHECKS + extra + [source],
                                capture_output=True, text=True, check=False)
        if result.returncode == 0 and digest:
            with open(stamp, 'w') as f:
                f.write(digest)
        elif os.path.exists(stamp):
            os.remove(stamp)
        return result

    failed = False
    with concurrent.futures.ThreadPoolExecutor(max_workers=2) as pool:
        for result in pool.map(check, work):
            if result.returncode != 0:
                failed = True
                sys.stdout.write(result.stdout)
    print(f'style: {len(work)} of {len(seen)} sources checked by clang-tidy, the rest unchanged since they passed')
    return 1 if failed else 0


if __name__ == '__main__':
    sys.exit(main())
