"""The main loop's frame period, timed by the probe that runs its pass."""

import os
import unittest

from zifra_e2e import Game


class PacingTest(unittest.TestCase):
    def test_500_frames_of_40_ms(self):
        workdir = os.environ["ZIFRA_E2E_WORKDIR"]
        os.makedirs(workdir, exist_ok=True)
        result = os.path.join(workdir, "pacing.txt")
        if os.path.exists(result):
            os.remove(result)
        with Game(
            os.environ["ZIFRA_PACING_PROBE"],
            os.environ["ZIFRA_WINE_RUN"],
            os.environ["ZIFRA_E2E_PREFIX"],
            workdir,
            args=["Z:" + result],
        ) as game:
            self.assertEqual(game.exit_code(timeout=180), 0)
        with open(result) as f:
            frames, mean, worst, late = f.read().split()
        print(f"\n{frames} frames: mean period {mean} ms, worst deviation {worst} ms, {late} frames off by more than 5 ms")
        self.assertEqual(int(frames), 500)
        # Frames are due at fixed times, so the mean holds even when single
        # frames are late.
        self.assertAlmostEqual(float(mean), 40.0, delta=0.5)


if __name__ == "__main__":
    unittest.main()
