#!/usr/bin/env python3
"""Runs one shard of a GoogleTest program under Wine and passes only when
that shard's results say every one of its tests ran and none failed.

    test_part.py RESULTS SHARD SHARDS WINE PROGRAM

The program's exit status alone is not enough: a program that crashes under
Wine (a heap corruption in Wine's allocator, a fault ending in Wine's
debugger) can end with status 0, having written no results. So the results
file (GoogleTest's XML, written when the run ends) is removed first and must
be there afterwards, name as many tests run as the program lists for this
shard, and report no failure. GoogleTest gives shard SHARD of SHARDS every
SHARDS-th runnable test in the order it lists them.
"""
import os
import pathlib
import subprocess
import sys
import xml.etree.ElementTree as ET


def fail(part, message):
    print(f"test_part: FAIL {part}: {message}", flush=True)
    sys.exit(1)


def listed_tests(wine, program, env):
    """The program's runnable tests, in the order it runs them."""
    listing = subprocess.run([wine, program, "--gtest_list_tests"], env=env, capture_output=True, text=True)
    if listing.returncode != 0:
        return None
    tests, suite = [], None
    for line in listing.stdout.splitlines():
        if not line.strip():
            continue
        if not line.startswith(" "):
            suite = line.split()[0]
        else:
            name = line.split()[0]
            if not (suite.startswith("DISABLED_") or name.startswith("DISABLED_")):
                tests.append(f"{suite}{name}")
    return tests


def main():
    results, shard, shards, wine, program = sys.argv[1:6]
    shard, shards = int(shard), int(shards)
    part = f"{pathlib.Path(program).stem} shard {shard} of {shards}"
    results = pathlib.Path(results)
    results.unlink(missing_ok=True)

    # Listing ignores the shard variables; the run honours them.
    listing_env = {k: v for k, v in os.environ.items() if not k.startswith("GTEST_")}
    tests = listed_tests(wine, program, listing_env)
    if not tests:
        fail(part, "the program listed no tests (it crashed or did not start)")
    expected = len(tests[shard::shards])

    env = dict(os.environ, GTEST_TOTAL_SHARDS=str(shards), GTEST_SHARD_INDEX=str(shard))
    status = subprocess.run([wine, program, f"--gtest_output=xml:Z:{results.resolve()}"], env=env).returncode

    if not results.is_file():
        fail(part, f"no results in {results}: the program crashed or ended early (status {status})")
    try:
        root = ET.parse(results).getroot()
    except ET.ParseError as error:
        fail(part, f"unreadable results in {results}: {error}")
    ran = [case for case in root.iter("testcase") if case.get("status") == "run"]
    failed = [case for case in ran if case.find("failure") is not None or case.find("error") is not None]
    if len(ran) != expected:
        fail(part, f"{len(ran)} tests ran of the {expected} listed for this shard")
    if failed:
        fail(part, f"{len(failed)} tests failed")
    if status != 0:
        fail(part, f"the program ended with status {status} after its tests passed")
    print(f"test_part: {part}: {len(ran)} tests ran, as listed", flush=True)


if __name__ == "__main__":
    main()
