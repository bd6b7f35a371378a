SELECT Distinct t1.FNumber,t1.FCurrencyID,t1.FName 
 FROM t_Currency  t1  WHERE FCurrencyID>0 AND t1.FCurrencyID=0
 AND t1.FDeleted <> 1 