select a = 1, [b c] = N'x', d=2, e
= 3