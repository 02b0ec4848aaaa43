"""What a live run meets: the pace of frames, keys pressed at the terminal, a MIDI clock port, the status line."""
