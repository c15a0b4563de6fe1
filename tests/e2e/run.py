"""Runs every end-to-end test module here and closes with a pass/fail count."""

import sys
import unittest
from pathlib import Path

HERE = Path(__file__).resolve().parent
sys.path.insert(0, str(HERE))


def main(argv):
    loader = unittest.TestLoader()
    pattern = argv[1] if len(argv) > 1 else "test_*.py"
    suite = loader.discover(str(HERE), pattern=pattern, top_level_dir=str(HERE))
    result = unittest.TextTestRunner(verbosity=2, stream=sys.stdout).run(suite)
    failed = len(result.failures) + len(result.errors) + len(result.unexpectedSuccesses)
    # A class whose set-up failed counts as one error but ran no test.
    ran_and_failed = failed - sum(isinstance(test, unittest.suite._ErrorHolder)
                                  for test, _ in result.errors)
    passed = result.testsRun - ran_and_failed - len(result.skipped)
    print(f"e2e: {passed} passed, {failed} failed, {len(result.skipped)} skipped")
    return 1 if failed or result.testsRun == 0 else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
